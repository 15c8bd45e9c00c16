#include "ScreenFixture.h"

#include "SnmpEventProcessor.h"
#include "VtMessages.h"
#include "VtSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

simtest::SimulatedDevice* ScreenTest::sim_ = nullptr;

void ScreenTest::SetUpTestSuite()
{
    static QTemporaryDir sessionDir;
    if (!VtSNMPStarted()) {
        VtStartSNMP(sessionDir.path().toStdString());
        SnmpEventProcessor::start();
    }
    sim_ = new simtest::SimulatedDevice();
}

void ScreenTest::TearDownTestSuite()
{
    delete sim_;
    sim_ = nullptr;
}

void ScreenTest::SetUp()
{
    VtResetMessageTables();
    VtSNMPDevice.address = sim_->address();
    VtSNMPDevice.port = sim_->port();
    VtSNMPSecurity.version = 1;  // v2c
    sim_->setSilent(false);
    dialogs_ = std::make_unique<DialogRecorder>();
}

void ScreenTest::TearDown()
{
    dialogs_.reset();
}

std::vector<std::string> ScreenTest::sets()
{
    std::vector<std::string> out;
    for (const std::string& line : sim_->journal())
        if (line.rfind("SET ", 0) == 0)
            out.push_back(line);
    return out;
}

void ScreenTest::typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    for (const QChar ch : text) {
        // QTest types only ASCII by key; other letters arrive as a key event
        // carrying the character, as from a keyboard with that letter.
        if (ch.unicode() < 128)
            QTest::keyClick(box, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void ScreenTest::click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void ScreenTest::showActive(QWidget* form)
{
    form->show();
    QApplication::setActiveWindow(form);
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
}

QString ScreenTest::buddyCaption(QWidget* form, QWidget* field)
{
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label->text();
    return QStringLiteral("(none)");
}

void ScreenTest::expectTabOrderAndFixedSize(QWidget* form, std::initializer_list<QWidget*> order)
{
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    auto it = order.begin();
    (*it)->setFocus(Qt::TabFocusReason);
    for (++it; it != order.end(); ++it) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(form->focusWidget(), *it) << "Tab should reach " << (*it)->objectName().toStdString();
    }
}

void ScreenTest::expectOneBox(const char* text, const char* caption)
{
    ASSERT_EQ(dialogs_->shown.size(), 1);
    EXPECT_EQ(dialogs_->shown[0].kind, "messageBox");
    EXPECT_EQ(dialogs_->shown[0].caption, caption);
    EXPECT_EQ(dialogs_->shown[0].text, text);
}
