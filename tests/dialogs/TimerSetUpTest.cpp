#include "dialogs/TfmTimerSetUp.h"

#include "dialogs/TLinkLabel.h"
#include "dialogs/TSpinEdit.h"
#include "support/FakeClock.h"
#include "support/FakeServices.h"

#include "support/GuiTestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace horavia {
namespace {

class TimerSetUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.TimerTTS = true;
        settings.RemindPeriod = 300;
        dialog = std::make_unique<TfmTimerSetUp>(clock, shell, settings, sibling, nullptr);
    }
    void Show() { dialog->show(); }
    int H() const { return dialog->seHours->Value(); }
    int M() const { return dialog->seMins->Value(); }
    int S() const { return dialog->seSecs->Value(); }
    std::int64_t PickerAhead() const { return SecondsBetween(dialog->PickerValue(), clock.Now()); }

    test::FakeClock clock{EncodeDateTime({2026, 12, 8, 9, 30, 0, 0})};
    test::FakeShell shell;
    Settings settings;
    bool sibling = false;
    std::unique_ptr<TfmTimerSetUp> dialog;
};

TEST_F(TimerSetUpTest, ShowingResetsTheFieldsAndReadsTheSettings) {
    dialog->seHours->SetValue(3);
    Show();
    EXPECT_EQ(H(), 0);
    EXPECT_TRUE(dialog->chbVoiceRemind->isChecked());
    EXPECT_TRUE(dialog->cbRemindInterval->isEnabled());
    EXPECT_EQ(dialog->cbRemindInterval->currentIndex(), 2);
    EXPECT_TRUE(dialog->lbRousely->isVisibleTo(dialog.get()));
    EXPECT_EQ(PickerAhead(), 0);
}

TEST_F(TimerSetUpTest, MinutesStepFrom55CarriesIntoTheHours) {
    Show();
    dialog->seMins->SetValue(55);
    dialog->seMins->stepBy(1);
    EXPECT_EQ(H(), 1);
    EXPECT_EQ(M(), 0);
    EXPECT_EQ(PickerAhead(), 3600);
    EXPECT_TRUE(dialog->rbRelativeTime->isChecked());
}

TEST_F(TimerSetUpTest, SecondsStepCarriesThroughMinutesIntoHours) {
    Show();
    dialog->seMins->SetValue(58);
    dialog->seSecs->SetValue(50);
    dialog->seSecs->stepBy(1);
    EXPECT_EQ(H(), 1);
    EXPECT_EQ(M(), 0);
    EXPECT_EQ(S(), 0);
    EXPECT_EQ(PickerAhead(), 3600);
}

TEST_F(TimerSetUpTest, HoursStayAt99AndTheMinutesCarryIsLost) {
    Show();
    dialog->seHours->SetValue(99);
    dialog->seMins->SetValue(59);
    EXPECT_EQ(H(), 99);
    EXPECT_EQ(M(), 0);
    EXPECT_EQ(dialog->Request().Hours * 3600 + dialog->Request().Minutes * 60, 99 * 3600);
}

TEST_F(TimerSetUpTest, TypedValueBeyondTheRangeIsClampedWhenTheFieldIsLeft) {
    Show();
    QLineEdit* edit = dialog->seMins->findChild<QLineEdit*>();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("150"));
    EXPECT_EQ(M(), 150); // stands while the field has the focus
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(dialog->seMins, &out);
    EXPECT_EQ(H(), 1);
    EXPECT_EQ(M(), 0);

    // Hours far beyond the range: the picker follows the typed value to the second, past midnight and
    // without wrapping, and leaving the field clamps it to 99.
    edit = dialog->seHours->findChild<QLineEdit*>();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("999999"));
    EXPECT_EQ(PickerAhead(), std::int64_t{999999} * 3600);
    QTest::keyClicks(edit, QStringLiteral("99999999999999999999"));
    QApplication::sendEvent(dialog->seHours, &out);
    EXPECT_EQ(H(), 99);
    EXPECT_EQ(PickerAhead(), 99 * 3600);
    EXPECT_EQ(dialog->Request().Hours, 99);
}

TEST_F(TimerSetUpTest, KeyFilterRefusesLettersAndEnter) {
    Show();
    QLineEdit* edit = dialog->seSecs->findChild<QLineEdit*>();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1x2"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    EXPECT_TRUE(dialog->isVisible()); // Enter did not close it either
}

TEST_F(TimerSetUpTest, EmptiedFieldCountsAsZero) {
    Show();
    dialog->seMins->SetValue(10);
    dialog->seMins->findChild<QLineEdit*>()->setText(QStringLiteral("-"));
    EXPECT_EQ(M(), 0);
    EXPECT_EQ(dialog->Request().Minutes, 0);
}

TEST_F(TimerSetUpTest, PickingATimeFillsTheFieldsAndCarriesA59) {
    Show();
    // 1 h 59 min 30 s ahead: 59 minutes carry into two hours, and the picker moves to match.
    dialog->dtpTime->setDateTime(dialog->dtpTime->dateTime().addSecs(3600 + 59 * 60 + 30));
    EXPECT_EQ(H(), 2);
    EXPECT_EQ(M(), 0);
    EXPECT_EQ(S(), 30);
    EXPECT_TRUE(dialog->rbAbsoluteTime->isChecked());
    EXPECT_EQ(PickerAhead(), 2 * 3600 + 30);
}

TEST_F(TimerSetUpTest, ReminderControlsFollowTheCheckBox) {
    settings.TimerTTS = false;
    settings.RemindPeriod = 3600;
    Show();
    EXPECT_FALSE(dialog->chbVoiceRemind->isChecked());
    EXPECT_FALSE(dialog->cbRemindInterval->isEnabled());
    EXPECT_FALSE(dialog->chbAutoIncrease->isEnabled());
    EXPECT_FALSE(dialog->lbRemind->isEnabled());
    EXPECT_EQ(dialog->cbRemindInterval->currentText(), QStringLiteral("小时"));
    dialog->chbVoiceRemind->click();
    EXPECT_TRUE(dialog->cbRemindInterval->isEnabled());
    EXPECT_TRUE(dialog->chbAutoIncrease->isEnabled());
    EXPECT_EQ(dialog->cbRemindInterval->currentIndex(), 7);
    EXPECT_EQ(dialog->Request().RemindIndex, 7);
    EXPECT_TRUE(dialog->Request().VoiceRemind);
}

TEST_F(TimerSetUpTest, UnknownPeriodShowsTheFirstItem) {
    settings.RemindPeriod = 45;
    Show();
    EXPECT_EQ(dialog->cbRemindInterval->currentIndex(), 0);
}

TEST_F(TimerSetUpTest, SiblingInstalledHidesTheLinkAndTheLinkOpensItsPage) {
    Show();
    dialog->lbRousely->clicked();
    ASSERT_EQ(shell.Urls.size(), 1);
    EXPECT_TRUE(shell.Urls[0].endsWith(QStringLiteral("/products/rousely")));
    dialog->hide();
    sibling = true;
    Show();
    EXPECT_FALSE(dialog->lbRousely->isVisibleTo(dialog.get()));
}

TEST_F(TimerSetUpTest, F1OpensTheTimerTopicOnceFromEveryControl) {
    Show();
    QTest::keyRelease(dialog.get(), Qt::Key_F1);
    EXPECT_EQ(shell.Topics, QStringList{QStringLiteral("Timer.htm")});
    // Spin fields and the picker keep the keys they are given; the help still opens from them.
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || control->window() != dialog.get()) {
            continue;
        }
        shell.Topics.clear();
        control->setFocus();
        QTest::keyRelease(control, Qt::Key_F1, Qt::ControlModifier);
        EXPECT_EQ(shell.Topics, QStringList{QStringLiteral("Timer.htm")}) << control->metaObject()->className();
    }
    shell.Topics.clear();
    QTest::keyRelease(dialog->seHours, Qt::Key_F2);
    EXPECT_TRUE(shell.Topics.isEmpty());
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
