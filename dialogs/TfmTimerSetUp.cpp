#include "dialogs/TfmTimerSetUp.h"

#include "base/Links.h"
#include "base/RemindIntervals.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/HelpKey.h"
#include "dialogs/TLinkLabel.h"
#include "dialogs/TSpinEdit.h"
#include "display/Surface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace horavia {
namespace {

QDateTime ToQDateTime(TDateTime t) {
    const DateTimeParts p = DecodeDateTime(t);
    return {QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.millisecond)};
}

TDateTime FromQDateTime(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return EncodeDateTime({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()});
}

} // namespace

TfmTimerSetUp::TfmTimerSetUp(const Clock& clock, Shell& shell, const Settings& settings, const bool& siblingInstalled,
                             QWidget* owner)
    : QDialog(owner, FixedDialogFlags), clock_(clock), shell_(shell), settings_(settings),
      siblingInstalled_(siblingInstalled) {
    setFont(Surface::TahomaFont(false));
    setupUi(this);
    // The form has no default button, so Enter does not confirm and every field loses the focus before OK.
    SetRemindIntervalItems(*cbRemindInterval);
    cbRemindInterval->setCurrentIndex(0);

    connect(seHours, &TSpinEdit::changed, this, [this] { seHoursChange(); });
    connect(seMins, &TSpinEdit::changed, this, [this] { seMinsChange(); });
    connect(seSecs, &TSpinEdit::changed, this, [this] { seSecsChange(); });
    connect(dtpTime, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!settingPicker_) {
            dtpTimeChange();
        }
    });
    connect(chbVoiceRemind, &QCheckBox::clicked, this, [this] { ApplyEnablingRule(); });
    connect(lbRousely, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SiblingPageUrl); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : {static_cast<QWidget*>(seHours), static_cast<QWidget*>(seMins), static_cast<QWidget*>(seSecs),
                       static_cast<QWidget*>(dtpTime)}) {
        w->installEventFilter(this);
        for (QObject* child : w->children()) {
            child->installEventFilter(this); // the line edit inside takes the clicks
        }
    }
    new HelpKey(this, [this] { shell_.OpenHelpTopic(QStringLiteral("Timer.htm")); });
}

CountdownRequest TfmTimerSetUp::Request() const {
    CountdownRequest r;
    r.RelativeTime = rbRelativeTime->isChecked();
    r.Hours = seHours->Value();
    r.Minutes = seMins->Value();
    r.Seconds = seSecs->Value();
    r.AbsoluteTime = PickerValue();
    r.VoiceRemind = chbVoiceRemind->isChecked();
    r.RemindIndex = cbRemindInterval->currentIndex();
    r.AutoIncrease = chbAutoIncrease->isChecked();
    return r;
}

TDateTime TfmTimerSetUp::PickerValue() const {
    return FromQDateTime(dtpTime->dateTime());
}

void TfmTimerSetUp::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        SetRemindIntervalItems(*cbRemindInterval);
    }
}

void TfmTimerSetUp::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmTimerSetUp::FormShow() {
    seHours->SetValue(0);
    seMins->SetValue(0);
    seSecs->SetValue(0);
    const TDateTime now = clock_.Now();
    earliest_ = ToQDateTime(now);
    SetPicker(now);
    lbRousely->setVisible(!siblingInstalled_);
    chbVoiceRemind->setChecked(settings_.TimerTTS);
    ApplyEnablingRule();
    chbAutoIncrease->setChecked(settings_.AutoIncreaseRemindFreq);
    cbRemindInterval->setCurrentIndex(RemindIndexOf(settings_.RemindPeriod));
}

void TfmTimerSetUp::ApplyEnablingRule() {
    const bool on = chbVoiceRemind->isChecked();
    lbRemind->setEnabled(on);
    cbRemindInterval->setEnabled(on);
    chbAutoIncrease->setEnabled(on);
}

void TfmTimerSetUp::SetPicker(TDateTime value) {
    static const QDateTime Latest(QDate(9999, 12, 31), QTime(23, 59, 59, 999)); // the picker holds no later
    QDateTime target = std::min(ToQDateTime(value), Latest);
    if (earliest_.isValid()) {
        target = std::max(target, earliest_);
    }
    // A picker that shows only the time of day keeps its range within the day of its value, with the
    // times of day of its earliest and latest values. On a later day than the moment of showing the
    // whole day must be open, or it would hold the time of day at or after that moment's.
    const QDateTime dayStart = target.date().startOfDay();
    settingPicker_ = true;
    dtpTime->setDateTimeRange(earliest_.isValid() && earliest_ > dayStart ? earliest_ : dayStart,
                              target.date().endOfDay());
    dtpTime->setDateTime(target);
    settingPicker_ = false;
}

// In 64 bits: a typed value stands unclamped until the field is left, and hours of up to a billion
// times 3600 do not fit in an int.
std::int64_t TfmTimerSetUp::DurationSeconds() const {
    return std::int64_t{seHours->Value()} * 3600 + std::int64_t{seMins->Value()} * 60 + seSecs->Value();
}

void TfmTimerSetUp::seHoursChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    rbRelativeTime->setChecked(true);
}

// 59 carries into the next field, so that stepping up wraps and neither field ever rests at 59.
void TfmTimerSetUp::seMinsChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    if (seMins->Value() == 59) {
        seHours->SetValue(std::min(seHours->Value() + 1, 99));
        seMins->SetValue(0);
        SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    }
    rbRelativeTime->setChecked(true);
}

void TfmTimerSetUp::seSecsChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    if (seSecs->Value() == 59) {
        seMins->SetValue(seMins->Value() + 1);
        seSecs->SetValue(0);
        SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    }
    rbRelativeTime->setChecked(true);
}

void TfmTimerSetUp::dtpTimeChange() {
    const std::int64_t s = SecondsBetween(PickerValue(), clock_.Now());
    seHours->SetValue(static_cast<int>(s / 3600));
    seMins->SetValue(static_cast<int>(s % 3600 / 60));
    seSecs->SetValue(static_cast<int>(s % 60));
    rbAbsoluteTime->setChecked(true);
}

bool TfmTimerSetUp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const bool inPicker = watched == dtpTime || watched->parent() == dtpTime;
        (inPicker ? rbAbsoluteTime : rbRelativeTime)->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace horavia
