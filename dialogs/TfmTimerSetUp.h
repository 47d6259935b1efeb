#pragma once

#include "engine/CountdownRequest.h"
#include "base/Clock.h"
#include "platform/Shell.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QRadioButton;

namespace horavia {

class TLinkLabel;
class TSpinEdit;

// The modal dialog in which a countdown is set up: a duration in hours, minutes and seconds, or a
// time of day, and the spoken reminders. One instance lives as long as the main window; its
// reminder controls stay the options of the running countdown.
class TfmTimerSetUp final : public QDialog {
    Q_OBJECT

public:
    TfmTimerSetUp(const Clock& clock, Shell& shell, const Settings& settings, const bool& siblingInstalled,
                  QWidget* owner);

    // What the controls hold now, as the countdown's start reads them after OK.
    CountdownRequest Request() const;
    // The picker's date and time.
    TDateTime PickerValue() const;

    QRadioButton* rbRelativeTime;
    TSpinEdit* seHours;
    TSpinEdit* seMins;
    TSpinEdit* seSecs;
    QRadioButton* rbAbsoluteTime;
    QDateTimeEdit* dtpTime;
    QCheckBox* chbVoiceRemind;
    QComboBox* cbRemindInterval;
    QCheckBox* chbAutoIncrease;
    QLabel* lbRemind;
    TLinkLabel* lbRousely;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void ApplyEnablingRule();
    void SetPicker(TDateTime value);
    std::int64_t DurationSeconds() const;
    void seHoursChange();
    void seMinsChange();
    void seSecsChange();
    void dtpTimeChange();

    const Clock& clock_;
    Shell& shell_;
    const Settings& settings_;
    const bool& siblingInstalled_;
    bool settingPicker_ = false;
    QDateTime earliest_; // the moment of showing: the picker holds nothing earlier
};

} // namespace horavia
