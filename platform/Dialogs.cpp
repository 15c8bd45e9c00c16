#include "Dialogs.h"

#include "Trace.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

DialogRecorder* g_recorder = nullptr;

// KSR4710_DIALOGS=auto: the real program answers every box with OK (and every
// file dialog with "cancelled") right after tracing it, so that a test or a
// script driving the program from outside never waits on a modal window.
bool autoAnswer()
{
    static const bool enabled = [] {
        const char* mode = std::getenv("KSR4710_DIALOGS");
        return mode && std::strcmp(mode, "auto") == 0;
    }();
    return enabled;
}

void traceBox(const QString& caption, const QString& text)
{
    ksr::trace("message box [%s] %s", qPrintable(caption), qPrintable(text));
}

// "desc|*.ext|desc2|*.ex2" -> "desc (*.ext);;desc2 (*.ex2)"
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return out.join(QStringLiteral(";;"));
}

// The scripted answer to a file dialog (recorder or auto mode); nullopt when
// the real dialog is to be shown.
std::optional<QString> scriptedFileAnswer(const QString& kind, const QString& filter)
{
    if (g_recorder) {
        g_recorder->shown.append({kind, QString(), filter});
        return g_recorder->fileAnswers.isEmpty() ? QString() : g_recorder->fileAnswers.takeFirst();
    }
    if (autoAnswer()) {
        ksr::trace("%s file dialog %s: cancelled", qPrintable(kind), qPrintable(filter));
        return QString();
    }
    return std::nullopt;
}

}  // namespace

namespace Dialogs {

QString applicationTitle() { return QStringLiteral("KSR4710Module"); }

void message(QWidget* parent, const QString& text)
{
    messageBox(parent, text, applicationTitle());
}

void messageBox(QWidget* parent, const QString& text, const QString& caption)
{
    traceBox(caption, text);
    if (g_recorder) {
        g_recorder->shown.append({QStringLiteral("messageBox"), caption, text});
        return;
    }
    if (autoAnswer())
        return;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool confirm(QWidget* parent, const QString& text, const QString& caption)
{
    traceBox(caption, text);
    if (g_recorder) {
        g_recorder->shown.append({QStringLiteral("confirm"), caption, text});
        return g_recorder->confirmAnswers.isEmpty() ? true : g_recorder->confirmAnswers.takeFirst();
    }
    if (autoAnswer())
        return true;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

QString openFileName(QWidget* parent, const QString& filter, const QString& initialDir)
{
    if (const auto answer = scriptedFileAnswer(QStringLiteral("open"), filter))
        return *answer;
    return QFileDialog::getOpenFileName(parent, QString(), initialDir, qtFilter(filter));
}

QString saveFileName(QWidget* parent, const QString& filter, const QString& initialDir)
{
    if (const auto answer = scriptedFileAnswer(QStringLiteral("save"), filter))
        return *answer;
    return QFileDialog::getSaveFileName(parent, QString(), initialDir, qtFilter(filter));
}

void beep(int hz, int ms)
{
    ksr::trace("beep %d Hz %d ms", hz, ms);
    if (g_recorder) {
        ++g_recorder->beeps;
        return;
    }
    if (autoAnswer())
        return;
    QApplication::beep();
}

}  // namespace Dialogs

DialogRecorder::DialogRecorder() { g_recorder = this; }
DialogRecorder::~DialogRecorder() { g_recorder = nullptr; }
DialogRecorder* DialogRecorder::current() { return g_recorder; }

QStringList DialogRecorder::texts() const
{
    QStringList out;
    for (const Shown& s : shown)
        out << s.text;
    return out;
}

void DialogRecorder::clear()
{
    shown.clear();
    beeps = 0;
}
