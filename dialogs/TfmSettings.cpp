#include "dialogs/TfmSettings.h"

#include "audio/AudioFormats.h"
#include "base/Links.h"
#include "base/Log.h"
#include "base/RemindIntervals.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/HelpKey.h"
#include "dialogs/TLinkLabel.h"
#include "display/Surface.h"
#include "platform/ExeVer.h"
#include "platform/SpeechSettingsCommand.h"
#include "settings/SettingsStore.h"
#include "speech/ChoosingSpeechVoice.h"
#include "texts/Texts.h"
#include "texts/Translations.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>

// The pictures live in a static library: referencing their initializer keeps the linker from dropping
// them, and Q_INIT_RESOURCE must be used outside any namespace.
static void InitSettingsImages() {
    Q_INIT_RESOURCE(horavia_images);
}

namespace horavia {
namespace {

constexpr int VoiceListVisibleItems = 15;

// Whether a voice speaks the interface's language now, judged by its name: the embedded voices name the
// language in words and a code, "Chinese (Mandarin) (cmn)", the desktop service's voices by a code,
// "Tian (zh-CN, rhvoice)".
bool SpeaksInterfaceLanguage(const QString& voice) {
    static const QRegularExpression Chinese(
        QStringLiteral(R"(\b(chinese|mandarin|cantonese)\b|[(\s,](zh|cmn|yue|hak)([-_)\s,]|$))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression English(QStringLiteral(R"(\benglish\b|[(\s,]en([-_)\s,]|$))"),
                                            QRegularExpression::CaseInsensitiveOption);
    return (CurrentUiLanguage() == UiLanguage::English ? English : Chinese).match(voice).hasMatch();
}

// Every format the sound player plays, from its table of formats. The description is what the dialog shows
// (it hides the patterns); the patterns in parentheses, separated by blanks, are what it matches with.
QString SoundFileFilter() {
    return QCoreApplication::translate("TfmSettings", "声音文件") + QStringLiteral(" (") +
           SoundFilePatterns().join(QLatin1Char(' ')) + QLatin1Char(')');
}

// The sound file dialog opens where the current sound lies, else in the desktop's sound folder, else at home.
QString SoundDialogFolder(const QString& currentSound) {
    if (!currentSound.isEmpty()) {
        const QDir folder = QFileInfo(currentSound).absoluteDir();
        if (folder.exists()) {
            return folder.absolutePath();
        }
    }
    const QString desktopSounds = QStringLiteral("/usr/share/sounds");
    return QDir(desktopSounds).exists() ? desktopSounds : QDir::homePath();
}

const QString MessageTitle = QStringLiteral("Horavia");

void SetPixelSize(QWidget* widget, int pixels) {
    QFont font = widget->font();
    font.setPixelSize(pixels);
    widget->setFont(font);
}

// Both pictures are made for the screen's ratio, from the 2x drawings on a dense screen, so they stay as sharp
// as the window beside them.
QPixmap StopwatchPicture(qreal ratio) {
    QPixmap picture(ratio > 1 ? QStringLiteral(":/horavia/images/Buttons/chrono_norm_48@2x.png")
                              : QStringLiteral(":/horavia/images/Buttons/chrono_norm_48.png"));
    if (picture.isNull()) {
        qCWarning(lcSettings) << "the stopwatch picture is missing from the resources";
        return {};
    }
    const int side = qRound(72 * ratio);
    picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

// The maker's mark: the program icon beside the name in small grey letters, on a transparent ground.
QPixmap LogoPicture(qreal ratio) {
    QPixmap logo(qRound(100 * ratio), qRound(43 * ratio));
    logo.setDevicePixelRatio(ratio);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap icon(ratio > 1 ? QStringLiteral(":/horavia/icons/horavia-128.png")
                                 : QStringLiteral(":/horavia/icons/horavia-64.png"));
    if (!icon.isNull()) {
        painter.drawPixmap(QRect(2, 3, 37, 37), icon);
    }
    QFont font = Surface::TahomaFont(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawText(QRect(42, 0, 58, 43), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("horavia"));
    return logo;
}

// Checks or unchecks a radio button even when it is its group's checked one, which Qt refuses for
// auto-exclusive buttons; a stored format other than 0 and 1 must show neither button checked.
void ForceChecked(QRadioButton* button, bool checked) {
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

enum class StoredText { SoundFile, VoiceName };

// Why text cannot be kept in the store, in the words shown to the user; empty when it can. Whole sentences,
// so that each language can put the words in its own order.
QString StoreRefusal(const QString& text, StoredText what) {
    if (FitsStore(text)) {
        return {};
    }
    const bool invalid = text.contains(QChar(0));
    if (what == StoredText::SoundFile) {
        return invalid ? QCoreApplication::translate("TfmSettings", "声音文件的路径含有无效的字符，无法保存。")
                       : QCoreApplication::translate("TfmSettings", "声音文件的路径太长，无法保存。");
    }
    return invalid ? QCoreApplication::translate("TfmSettings", "语音的名称含有无效的字符，无法保存。")
                   : QCoreApplication::translate("TfmSettings", "语音的名称太长，无法保存。");
}

} // namespace

TfmSettings::TfmSettings(Settings& settings, SpeechVoice& voice, Shell& shell, const bool& siblingInstalled,
                         TFormatSettings& displayFormat, TrayChange trayChange, QWidget* owner)
    : QDialog(owner, FixedDialogFlags), StartProgram([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }),
      settings_(settings), voice_(voice), shell_(shell), siblingInstalled_(siblingInstalled),
      displayFormat_(displayFormat), trayChange_(std::move(trayChange)) {
    InitSettingsImages();
    setFont(Surface::TahomaFont(false));
    setupUi(this);
    // A form gives font sizes in points; these, like the dialog's own, are in pixels.
    for (QWidget* small :
         {static_cast<QWidget*>(lbSound), static_cast<QWidget*>(edSound), static_cast<QWidget*>(bnSound)}) {
        SetPixelSize(small, 9);
    }
    SetPixelSize(TntLabel2, 21);

    Image1->setPixmap(StopwatchPicture(devicePixelRatioF()));
    Image2->setPixmap(LogoPicture(devicePixelRatioF()));
    SetRemindIntervalItems(*cbRemindFrequency);
    // The addresses shown are those the links open, kept in one place with them.
    lbWeb->setText(QUrl(ProductSite).host());
    lbMail->setText(SupportMailAddress);

    dlgSound = new QFileDialog(this);
    dlgSound->setObjectName(QStringLiteral("dlgSound"));
    dlgSound->setFileMode(QFileDialog::ExistingFile);
    dlgSound->setAcceptMode(QFileDialog::AcceptOpen);
    dlgSound->setOption(QFileDialog::HideNameFilterDetails);

    connect(chbPlaySound, &QCheckBox::clicked, this, [this] { chbPlaySoundClick(); });
    connect(bnSound, &QPushButton::clicked, this, [this] { bnSoundClick(); });
    connect(lbSpeechOther, &TLinkLabel::clicked, this, [this] { lbSpeechOtherClick(); });
    connect(lbWeb, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(ProductPageUrl); });
    connect(lbMail, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SupportMailUrl); });
    connect(lbRousely, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SiblingPageUrl); });
    connect(bnOK, &QPushButton::clicked, this, [this] { bnOKClick(); });
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);
    new HelpKey(this, [this] { shell_.OpenHelpTopic(QStringLiteral("Settings.htm")); });
}

void TfmSettings::showEvent(QShowEvent* event) {
    // A spontaneous show is the window coming back from being minimized: nothing to refill.
    if (!event->spontaneous()) {
        FormShow();
        // Centred on the desktop rather than over the small main window.
        if (const QScreen* desktop = screen()) {
            move(desktop->availableGeometry().center() - rect().center());
        }
    }
    QDialog::showEvent(event);
}

void TfmSettings::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        SetRemindIntervalItems(*cbRemindFrequency);
    }
}

void TfmSettings::FitVoiceListPopup() {
    // About fifteen voices at a time, and no name cut off however narrow the box itself is.
    // Styles that open the list as a menu (Fusion among them) ignore the count unless told not to.
    cbVoiceNames->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cbVoiceNames->setMaxVisibleItems(VoiceListVisibleItems);
    QAbstractItemView* list = cbVoiceNames->view();
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < cbVoiceNames->count(); ++i) {
        widest = std::max(widest, metrics.horizontalAdvance(cbVoiceNames->itemText(i)));
    }
    // The scroll bar, the frame, the text margins of an item and the room a combo box's popup keeps for a check mark.
    const int chrome = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * list->frameWidth() +
                       2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) +
                       2 * metrics.averageCharWidth();
    list->setMinimumWidth(widest + chrome);
}

void TfmSettings::FormShow() {
    lbVersion->setText(LoadStr(StringId::Version) + QLatin1Char(' ') + FormatExeVersion(GetExeVersion()));

    cbVoiceNames->clear();
    try {
        QStringList voices = voice_.GetVoices();
        // The entry that follows the interface comes first, under words of the interface's language; the
        // item's data keeps the name the settings store, which never changes with the language.
        const bool following = !voices.isEmpty() && voices.first() == ChoosingSpeechVoice::FollowingName();
        if (following) {
            voices.removeFirst();
            cbVoiceNames->addItem(QCoreApplication::translate("TfmSettings", "自动（说界面的语言）"),
                                  ChoosingSpeechVoice::FollowingName());
        }
        std::stable_partition(voices.begin(), voices.end(), SpeaksInterfaceLanguage);
        for (const QString& name : voices) {
            cbVoiceNames->addItem(name, name);
        }
    } catch (const SpeechError& e) {
        // The dialog is still useful without voices; the list stays empty and OK leaves the voice alone.
        qCWarning(lcSettings) << "cannot list the speech voices:" << e.what();
    }

    SetTimeFormatButtons(settings_.TimeFormat);
    cbLanguages->setCurrentIndex(settings_.Language);

    chbMinToSysTray->setChecked(settings_.MinimizeToTray);
    chbShowMsgBox->setChecked(settings_.ShowMsgBox);
    chbPlaySound->setChecked(settings_.PlaySound);
    edSound->setText(settings_.SoundFile);
    chbPlaySoundClick();

    chbVoiceTimer->setChecked(settings_.TimerTTS);
    chbVoiceStopwatch->setChecked(settings_.StopwatchTTS);
    chbVoiceClock->setChecked(settings_.ClockTTS);

    FitVoiceListPopup();

    int voiceIndex = cbVoiceNames->count() > 0 ? 0 : -1;
    for (int i = 0; i < cbVoiceNames->count(); ++i) {
        if (cbVoiceNames->itemData(i).toString().compare(settings_.VoiceName, Qt::CaseInsensitive) == 0) {
            voiceIndex = i;
            break;
        }
    }
    cbVoiceNames->setCurrentIndex(voiceIndex);

    cbRemindFrequency->setCurrentIndex(RemindIndexOf(settings_.RemindPeriod));
    chbAutoIncrease->setChecked(settings_.AutoIncreaseRemindFreq);

    lbRousely->setVisible(!siblingInstalled_);
    pcSettings->setTabVisible(pcSettings->indexOf(tsAbout), !siblingInstalled_);
    pcSettings->setCurrentWidget(tsGeneral);
}

void TfmSettings::SetTimeFormatButtons(std::uint8_t timeFormat) {
    ForceChecked(rb12hour, timeFormat == 0);
    ForceChecked(rb24hour, timeFormat == 1);
}

void TfmSettings::chbPlaySoundClick() {
    const bool on = chbPlaySound->isChecked();
    lbSound->setEnabled(on);
    edSound->setEnabled(on);
    bnSound->setEnabled(on);
}

void TfmSettings::bnSoundClick() {
    dlgSound->setWindowTitle(LoadStr(StringId::ChooseSoundFile));
    dlgSound->setNameFilter(SoundFileFilter());
    dlgSound->setDirectory(SoundDialogFolder(edSound->text()));
    if (dlgSound->exec() != QDialog::Accepted) {
        return;
    }
    const QStringList files = dlgSound->selectedFiles();
    if (!files.isEmpty()) {
        edSound->setText(QDir::toNativeSeparators(files.first()));
    }
}

void TfmSettings::bnOKClick() {
    // The store cannot hold every text the controls can: such a value is refused before anything is
    // changed, so the user can shorten it or cancel, rather than losing it at the save.
    const bool voiceChosen = cbVoiceNames->count() > 0 && cbVoiceNames->currentIndex() >= 0;
    const QString voiceName = voiceChosen ? cbVoiceNames->currentData().toString() : QString();
    for (const QString& refusal :
         {StoreRefusal(edSound->text(), StoredText::SoundFile), StoreRefusal(voiceName, StoredText::VoiceName)}) {
        if (!refusal.isEmpty()) {
            qCWarning(lcSettings) << "settings not accepted:" << refusal;
            QMessageBox::warning(this, MessageTitle, refusal);
            return;
        }
    }

    if (rb12hour->isChecked()) {
        settings_.TimeFormat = 0;
    } else if (rb24hour->isChecked()) {
        settings_.TimeFormat = 1;
    }
    settings_.Language = cbLanguages->currentIndex();
    // The interface switches at once; the windows refetch their texts on the LanguageChange Qt sends them.
    ApplyUiLanguage(UiLanguageOfIndex(settings_.Language));
    ApplyTimeFormat(settings_.TimeFormat, displayFormat_);

    settings_.MinimizeToTray = chbMinToSysTray->isChecked();
    if (trayChange_) {
        trayChange_(settings_.MinimizeToTray);
    }

    settings_.ShowMsgBox = chbShowMsgBox->isChecked();
    settings_.PlaySound = chbPlaySound->isChecked();
    settings_.SoundFile = edSound->text();

    settings_.TimerTTS = chbVoiceTimer->isChecked();
    settings_.StopwatchTTS = chbVoiceStopwatch->isChecked();
    settings_.ClockTTS = chbVoiceClock->isChecked();

    if (voiceChosen) {
        try {
            SelectVoice(settings_, voice_, voiceName);
        } catch (const SpeechError& e) {
            // The name is kept for the next start; the rest of the settings still apply.
            qCWarning(lcSettings) << "cannot switch to the voice" << voiceName << ":" << e.what();
        }
    }

    settings_.RemindPeriod = RemindPeriodAt(cbRemindFrequency->currentIndex());
    settings_.AutoIncreaseRemindFreq = chbAutoIncrease->isChecked();
    accept();
}

void TfmSettings::lbSpeechOtherClick() {
    const std::optional<SpeechSettingsCommand> command = FindSpeechSettingsCommand();
    if (command && StartProgram && StartProgram(command->Program, command->Arguments)) {
        return;
    }
    if (command) {
        qCWarning(lcSettings) << "cannot start" << command->Program;
    } else {
        qCWarning(lcSettings) << "no speech settings program found on PATH";
    }
    QMessageBox::information(
        this, MessageTitle,
        QCoreApplication::translate("TfmSettings", "没有找到桌面的语音设置程序。请在桌面的辅助功能设置中更改语音。"));
}

} // namespace horavia
