// The key filters of the pages' edits, driven by typed key sequences.
#include "ui/KeyFilters.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One typed key: a character, or a special key.
struct Key
{
    Qt::Key key;
    char ch;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};
Key ch(char c)
{
    return {Qt::Key_unknown, c};
}
constexpr Key kBackspace{Qt::Key_Backspace, 0};
constexpr Key kDelete{Qt::Key_Delete, 0};
constexpr Key kLeft{Qt::Key_Left, 0};
constexpr Key kRight{Qt::Key_Right, 0};
constexpr Key kKeypad5{Qt::Key_5, '5', Qt::KeypadModifier};

struct Case
{
    const char* name;
    OvertypeKeyFilter::Mask mask;
    const char* text;
    int caret;
    std::vector<Key> keys; // a key with ch != 0 and key unknown types that character
    const char* expectedText;
    int expectedCaret;
};

void type(QLineEdit& edit, const Key& k)
{
    if (k.key == Qt::Key_unknown)
        QTest::keyClick(&edit, k.ch);
    else
        QTest::keyClick(&edit, k.key, k.mods);
}

std::vector<Key> chars(const char* s)
{
    std::vector<Key> keys;
    for (; *s; ++s)
        keys.push_back(ch(*s));
    return keys;
}

using M = OvertypeKeyFilter;

const Case kCases[] = {
    // HH:MM
    {"time digits overtype and jump the colon", M::Time, "__:__", 0, chars("1234"), "12:34", 5},
    {"hour 25 refused", M::Time, "__:__", 0, chars("25"), "2_:__", 1},
    {"24 makes the minutes 00", M::Time, "__:__", 0, chars("243"), "24:00", 5},
    {"minute tens above 5 refused", M::Time, "12:__", 3, chars("6"), "12:__", 3},
    {"hour tens 2 refused before units 4..9", M::Time, "_5:00", 0, chars("2"), "_5:00", 0},
    {"hour tens 1 taken before units 5", M::Time, "_5:00", 0, chars("1"), "15:00", 1},
    {"backspace behind the colon clears the hour units", M::Time, "12:34", 3, {kBackspace}, "1_:34", 1},
    {"backspace at the start does nothing", M::Time, "12:34", 0, {kBackspace}, "12:34", 0},
    {"backspace in the minutes", M::Time, "12:34", 5, {kBackspace, kBackspace}, "12:__", 3},
    {"nothing written at the end", M::Time, "12:34", 5, chars("1"), "12:34", 5},
    {"letters refused", M::Time, "__:__", 0, chars("a:-"), "__:__", 0},
    {"an empty edit takes the mask", M::Time, "", 0, chars("0"), "0_:__", 1},
    {"Delete is kept out", M::Time, "12:34", 2, {kDelete}, "12:34", 2},
    {"keypad digits are kept out", M::Time, "__:__", 0, {kKeypad5}, "__:__", 0},
    {"Left and Right move the caret",
     M::Time,
     "12:34",
     2,
     {kLeft, kLeft, ch('0'), kRight, kRight, ch('5')},
     "02:54",
     4},
    // DD.MM
    {"day 32 refused", M::DayMonth, "__.__", 0, chars("32"), "3_.__", 1},
    {"day and month", M::DayMonth, "__.__", 0, chars("3112"), "31.12", 5},
    {"month 13 refused", M::DayMonth, "__._3", 3, chars("1"), "__._3", 3},
    {"month 12 taken", M::DayMonth, "__._2", 3, chars("1"), "__.12", 4},
    {"month units after 1 at most 2", M::DayMonth, "01.1_", 4, chars("3"), "01.1_", 4},
    {"day tens 3 refused before units 2", M::DayMonth, "_2.01", 0, chars("3"), "_2.01", 0},
    // hh:mm:ss
    {"long time", M::LongTime, "__:__:__", 0, chars("235959"), "23:59:59", 8},
    {"hour 24 refused", M::LongTime, "__:__:__", 0, chars("24"), "2_:__:__", 1},
    {"second tens above 5 refused", M::LongTime, "12:34:__", 6, chars("6"), "12:34:__", 6},
    {"backspace jumps the second colon", M::LongTime, "12:34:56", 6, {kBackspace}, "12:3_:56", 4},
    // DD.MM.YYYY
    {"date", M::Date, "__.__.____", 0, chars("311220261"), "31.12.2026", 10},
    {"date month 13 refused", M::Date, "__.__.____", 0, chars("0113"), "01.1_.____", 4},
};

class OvertypeEditors : public ::testing::TestWithParam<Case>
{
};

TEST_P(OvertypeEditors, TypedSequence)
{
    const Case& c = GetParam();
    QLineEdit edit;
    OvertypeKeyFilter::install(&edit, c.mask);
    edit.setText(QString::fromLatin1(c.text));
    edit.setCursorPosition(c.caret);
    for (const Key& k : c.keys)
        type(edit, k);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.expectedText)) << c.name;
    EXPECT_EQ(edit.cursorPosition(), c.expectedCaret) << c.name;
}

INSTANTIATE_TEST_SUITE_P(All, OvertypeEditors, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(OvertypeFunctions, AlwaysConsumeTheCharacter)
{
    QLineEdit edit(QStringLiteral("__:__"));
    for (char c : {'1', '9', 'x', '\b'}) {
        edit.setCursorPosition(1);
        char key = c;
        TimeKeyPressFilter(&edit, key);
        EXPECT_EQ(key, 0) << c;
    }
    QChar wide(u'č');
    WideTimeKeyPressFilter(&edit, wide);
    EXPECT_EQ(wide, QChar(0));
}

TEST(OvertypeFunctions, ASelectionCountsFromItsStart)
{
    QLineEdit edit(QStringLiteral("12:34"));
    edit.setSelection(4, -3); // selects "2:3" with the caret at 1
    char key = '0';
    TimeKeyPressFilter(&edit, key);
    EXPECT_EQ(edit.text(), QStringLiteral("10:34"));
}

TEST(DigitFilter, LetsDigitsAndBackspaceThrough)
{
    for (char c = 1; c < 127; ++c) {
        char key = c;
        DigitKeyPressFilter(key);
        EXPECT_EQ(key, (c >= '0' && c <= '9') || c == '\b' ? c : 0) << int(c);
    }
}

TEST(DigitFilter, OnAnEdit)
{
    QLineEdit edit;
    DigitKeyFilter::install(&edit);
    QTest::keyClicks(&edit, QStringLiteral("1a2-3 "));
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
}

TEST(MaskedKeyGuard, KeepsEditingKeysOutButLetsCaretMovesAndDigitsIn)
{
    QLineEdit edit(QStringLiteral("12:34"));
    MaskedKeyGuard::install(&edit);
    edit.setCursorPosition(2);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, 'a');
    EXPECT_EQ(edit.text(), QStringLiteral("12:34"));
    EXPECT_EQ(edit.cursorPosition(), 2);
    QTest::keyClick(&edit, Qt::Key_Right);
    EXPECT_EQ(edit.cursorPosition(), 3);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("1234")) << "without an overtype editor Backspace edits as usual";
    QTest::keyClick(&edit, '7');
    EXPECT_EQ(edit.text(), QStringLiteral("12734"));
}

bool markedRed(const QLineEdit& edit)
{
    return edit.palette().color(QPalette::Base) == QColor(Qt::red);
}

// The time check refuses only a time a person left half-typed in a field they can still edit: a value the
// program put there, or a field that cannot be edited, never holds a save back.
TEST(TimeCheck, RefusesOnlyWhatAPersonLeftHalfTyped)
{
    const struct
    {
        const char* name;
        const char* shown;       // put there by the program
        std::vector<Key> typed;  // then typed, caret at 1
        bool enabled;
        bool readOnly;
        bool refused;
    } cases[] = {
        {"a whole time typed", "00:00", chars("2"), true, false, false},
        {"half-typed", "10:30", {kBackspace}, true, false, true},
        {"half-typed, then the field disabled", "10:30", {kBackspace}, false, false, false},
        {"half-typed in a read-only field", "10:30", {kBackspace}, true, true, false},
        {"the gateway's empty time", "", {}, true, false, false},
        {"the gateway's 9:5", "9:5", {}, true, false, false},
        {"the gateway's 0", "0", {}, true, false, false},
    };
    for (const auto& c : cases) {
        QLineEdit edit;
        OvertypeKeyFilter::install(&edit, OvertypeKeyFilter::Time);
        edit.setText(QString::fromLatin1(c.shown));
        edit.setCursorPosition(1);
        for (const Key& k : c.typed)
            type(edit, k);
        edit.setEnabled(c.enabled);
        edit.setReadOnly(c.readOnly);
        EXPECT_EQ(TimeEditComplete(&edit), !c.refused) << c.name;
        EXPECT_EQ(markedRed(edit), c.refused) << c.name;
    }
}

TEST(TimeCheck, TheMarkGoesAsSoonAsTheTimeIsWholeAgain)
{
    QLineEdit edit;
    OvertypeKeyFilter::install(&edit, OvertypeKeyFilter::Time);
    edit.setText(QStringLiteral("10:30"));
    edit.setCursorPosition(2);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    ASSERT_EQ(edit.text(), QStringLiteral("__:30"));
    EXPECT_FALSE(TimeEditComplete(&edit));
    QTest::keyClick(&edit, '1');
    EXPECT_TRUE(markedRed(edit)) << "still half-typed";
    QTest::keyClick(&edit, '2');
    EXPECT_EQ(edit.text(), QStringLiteral("12:30"));
    EXPECT_FALSE(markedRed(edit));
    EXPECT_TRUE(edit.toolTip().isEmpty());
}

} // namespace
