// Input checker of edit boxes: filtering while typing, the range check on
// leaving, the accepted text and the screen's own events.
#include "Dialogs.h"
#include "VtEdit.h"
#include "VtEditConstraint.h"
#include "VtError.h"
#include "VtMessages.h"

#include <QRegularExpression>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A form with the watched box and a second box to move the focus to.
struct Form {
    QWidget window;
    VtEdit* edit = new VtEdit(&window);
    VtEdit* next = new VtEdit(&window);
    VtEditConstraint checker{&window};

    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void type(const QString& keys)
    {
        edit->setFocus();
        QTest::keyClicks(edit, keys);
    }
    // Tab to the next box, as a user leaves the box.
    void leave()
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
    }
};

struct TypingCase {
    const char* format;
    const char* typed;
    const char* left;
    int beeps;
};

TEST(EditConstraint, TypingKeepsOnlyTheCharactersOfTheFormat)
{
    const TypingCase cases[] = {
        {"%u", "12a3", "123", 1},
        {"%h", "0x1F", "01F", 1},
        {"%h", "aBcDeF09", "aBcDeF09", 0},
        {"%u", "-1.5", "15", 2},
        {"%s", "x-1 y!", "x-1 y!", 0},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.typed);
        DialogRecorder dialogs;
        Form form;
        QStringList seen;
        form.edit->OnChange = [&] { seen << form.edit->text(); };
        form.checker.Attach(c.format, {form.edit});
        form.type(c.typed);
        EXPECT_EQ(form.edit->text(), QString(c.left));
        EXPECT_EQ(dialogs.beeps, c.beeps);
        // The screen's own change handler only ever sees accepted text.
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_EQ(seen.last(), QString(c.left));
        for (const QString& s : seen)
            for (QChar ch : s)
                EXPECT_TRUE(QString(c.left).contains(ch)) << s.toStdString();
    }
}

TEST(EditConstraint, MarkerTextsAreNeitherFilteredNorChecked)
{
    DialogRecorder dialogs;
    Form form;
    form.checker.Attach("%u", {form.edit});
    for (const char* marker : {"(NULL)", "(NOTDONE)"}) {
        form.edit->setText(marker);
        form.leave();
        EXPECT_EQ(form.edit->text(), QString(marker));
    }
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST(EditConstraint, LeavingWithANumberOutOfRangeRestoresTheAcceptedText)
{
    VtResetMessageTables();
    DialogRecorder dialogs;
    Form form;
    form.checker.Attach("%u", {form.edit});

    // Never left with an accepted value: the accepted text is empty.
    form.type("4294967296");
    form.leave();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "(VtCommon) Please enter a number between 0 and 4294967295!");
    EXPECT_EQ(dialogs.shown[0].caption, VtExecutableFileName());
    EXPECT_EQ(form.edit->text(), "");
    EXPECT_TRUE(form.edit->hasFocus());

    // The upper limit itself passes and becomes the accepted text.
    form.type("4294967295");
    form.leave();
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(form.checker.Record(form.edit)->AcceptedText, "4294967295");

    form.edit->clear();
    form.type("99999999999999999999");
    form.leave();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(form.edit->text(), "4294967295");

    // An empty box is accepted without a word and leaves the accepted text alone.
    form.edit->clear();
    form.leave();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(form.checker.Record(form.edit)->AcceptedText, "4294967295");
}

TEST(EditConstraint, OwnExitHandlerRejectsWithTagMinusOne)
{
    DialogRecorder dialogs;
    Form form;
    int exits = 0;
    form.edit->OnExit = [&] {
        ++exits;
        form.edit->Tag = form.edit->text() == "bad" ? -1 : 0;
    };
    form.checker.Attach("%s", {form.edit});

    form.type("good");
    form.leave();
    form.edit->clear();
    form.type("bad");
    form.leave();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(form.edit->text(), "good");

}

TEST(EditConstraint, WatchingLiftsTheMaximumLength)
{
    DialogRecorder dialogs;
    Form form;
    form.edit->setMaxLength(32);
    form.checker.Attach("%s", {form.edit});
    const QString text(40, 'k');
    form.type(text);
    EXPECT_EQ(form.edit->text(), text);
}

TEST(EditConstraint, BadFormatsRaiseEntryTwoAndAttachNothing)
{
    VtResetMessageTables();
    Form form;
    for (const char* format : {"%x", "u", "%", "%u%", "%uu"}) {
        SCOPED_TRACE(format);
        try {
            form.checker.Attach(format, {form.edit});
            ADD_FAILURE() << "no exception";
        } catch (const VtException& e) {
            EXPECT_EQ(e.code(), -2);
            EXPECT_STREQ(e.what(), "(VtCommon) Bad format specifier of edit's constraint!");
        }
        EXPECT_EQ(form.checker.Record(form.edit), nullptr);
    }
    form.checker.Attach("", {form.edit});
    EXPECT_EQ(form.checker.Record(form.edit), nullptr);
}

TEST(EditConstraint, SeveralSpecificationsWatchSeveralBoxesAndDetachGivesEventsBack)
{
    DialogRecorder dialogs;
    Form form;
    int ownChanges = 0;
    form.next->OnChange = [&] { ++ownChanges; };
    form.checker.Attach("%s%h", {form.edit, form.next});
    ASSERT_NE(form.checker.Record(form.next), nullptr);
    EXPECT_EQ(form.checker.Record(form.next)->Type, 'h');

    QTest::keyClicks(form.next, "zA");
    EXPECT_EQ(form.next->text(), "A");
    EXPECT_EQ(dialogs.beeps, 1);

    form.checker.Detach(form.next);
    EXPECT_EQ(form.checker.Record(form.next), nullptr);
    const int before = ownChanges;
    QTest::keyClicks(form.next, "z");
    EXPECT_EQ(form.next->text(), "Az");
    EXPECT_EQ(ownChanges, before + 1);
    EXPECT_EQ(dialogs.beeps, 1);
}

}  // namespace
