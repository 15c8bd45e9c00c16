#pragma once
// The one seam for everything modal the module shows: message boxes,
// confirmations, file dialogs and beeps. Production shows real Qt dialogs;
// tests install a DialogRecorder, which records what would have been shown and
// answers from a script, so no test ever blocks on a modal window.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace Dialogs {

// Application title used as the caption of plain messages.
QString applicationTitle();  // "KSR4710Module"

// Plain message box titled with the application title, OK button.
void message(QWidget* parent, const QString& text);

// Message box with an explicit caption ("Warning", "Error", "ERROR", "OK") and OK.
void messageBox(QWidget* parent, const QString& text, const QString& caption);

// OK/Cancel confirmation; true only for OK.
bool confirm(QWidget* parent, const QString& text, const QString& caption);

// File dialogs; filter in the "desc|*.ext|desc|*.ext" form. Empty = cancelled.
QString openFileName(QWidget* parent, const QString& filter, const QString& initialDir = {});
QString saveFileName(QWidget* parent, const QString& filter, const QString& initialDir = {});

// Beep of the given frequency and duration.
void beep(int hz, int ms);

}  // namespace Dialogs

// Installed by tests for its lifetime; nesting is not supported.
class DialogRecorder {
public:
    struct Shown {
        QString kind;     // "message", "messageBox", "confirm", "open", "save"
        QString caption;
        QString text;     // message text, or the filter of a file dialog
    };

    DialogRecorder();
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    QList<Shown> shown;
    int beeps = 0;

    // Answers for the next confirmations (front first); default OK when empty.
    QList<bool> confirmAnswers;
    // Answers for the next file dialogs (front first); default "" (cancelled).
    QStringList fileAnswers;

    // Texts of every box shown so far, in order.
    QStringList texts() const;
    void clear();

    static DialogRecorder* current();
};
