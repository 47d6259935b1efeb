#include "dialogs/TfmSettings.h"

#include "base/Links.h"
#include "dialogs/TLinkLabel.h"
#include "platform/ExeVer.h"
#include "platform/SpeechSettingsCommand.h"
#include "settings/SettingsStore.h"
#include "settings/StoreFixture.h"
#include "speech/ChoosingSpeechVoice.h"
#include "support/FakeServices.h"
#include "support/FakeSpeechVoice.h"
#include "support/ModalDialog.h"
#include "texts/Texts.h"
#include "texts/Translations.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace horavia {
namespace {

// A speech service that cannot be reached.
class UnreachableVoice final : public SpeechVoice {
public:
    QStringList GetVoices() override { throw SpeechError("speech service not running"); }
    void SetVoice(int) override { throw SpeechError("speech service not running"); }
    void Speak(const QString&) override {}
};

// Every field the dialog may touch, printed, so that "nothing changed" is one comparison.
QString Describe(const Settings& s) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12|%13")
        .arg(s.VoiceName)
        .arg(s.TimeFormat)
        .arg(s.Language)
        .arg(s.MinimizeToTray)
        .arg(s.ShowMsgBox)
        .arg(s.PlaySound)
        .arg(s.SoundFile)
        .arg(s.TimerTTS)
        .arg(s.StopwatchTTS)
        .arg(s.ClockTTS)
        .arg(s.RemindPeriod)
        .arg(s.AutoIncreaseRemindFreq)
        .arg(s.VoiceName.size());
}

class SettingsDialogTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        settings.VoiceName = QStringLiteral("Mandarin");
        settings.TimeFormat = 1;
        settings.Language = 0;
        settings.MinimizeToTray = true;
        settings.ShowMsgBox = true;
        settings.PlaySound = false;
        settings.SoundFile = QStringLiteral("/home/user/alarm.ogg");
        settings.TimerTTS = true;
        settings.RemindPeriod = 600;
        Create(voice);
    }
    void TearDown() override {
        dialog.reset();
        StoreFixture::TearDown();
    }

    void Create(SpeechVoice& speech) {
        dialog = std::make_unique<TfmSettings>(
            settings, speech, shell, sibling, format, [this](bool on) { trayCalls.push_back(on); }, nullptr);
        dialog->StartProgram = [this](const QString& program, const QStringList& arguments) {
            started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return startSucceeds;
        };
    }
    QStringList VoiceItems() const {
        QStringList items;
        for (int i = 0; i < dialog->cbVoiceNames->count(); ++i) {
            items.append(dialog->cbVoiceNames->itemText(i));
        }
        return items;
    }

    void Show() {
        dialog->hide();
        dialog->show();
    }
    void PressOK() { dialog->bnOK->click(); }
    bool Accepted() const { return !dialog->isVisible() && dialog->result() == QDialog::Accepted; }

    // Runs action, answering the message box it shows; the box's text, or empty when none came.
    QString MessageFrom(const std::function<void()>& action) {
        auto text = std::make_shared<QString>();
        test::WhenShown<QMessageBox>([text](QMessageBox* box) {
            *text = box->text();
            box->accept();
        });
        action();
        QCoreApplication::processEvents(); // drops the timer when no box was shown
        return *text;
    }

    Settings settings;
    test::FakeSpeechVoice voice{{QStringLiteral("English"), QStringLiteral("Mandarin"), QStringLiteral("Cantonese")}};
    test::FakeShell shell;
    bool sibling = false;
    TFormatSettings format;
    std::vector<bool> trayCalls;
    QStringList started;
    bool startSucceeds = true;
    std::unique_ptr<TfmSettings> dialog;
};

TEST_F(SettingsDialogTest, TabWalksTheShownPageThenTheButtonsAndBackToTheTabs) {
    settings.PlaySound = true; // the sound file's box and button take the focus only when enabled
    Show();
    // The controls Tab visits from the page's tab until it comes back to it, by name.
    const auto walk = [this](int page) {
        dialog->pcSettings->setCurrentIndex(page);
        dialog->pcSettings->setFocus();
        const QWidget* const start = dialog->focusWidget();
        QStringList visited;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            if (dialog->focusWidget() == start) {
                break;
            }
            visited << dialog->focusWidget()->objectName();
        }
        return visited.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(walk(0), "rb12hour rb24hour cbLanguages chbMinToSysTray bnOK bnCancel");
    EXPECT_EQ(walk(1), "chbShowMsgBox chbPlaySound edSound bnSound bnOK bnCancel");
    EXPECT_EQ(walk(2), "chbVoiceTimer chbVoiceStopwatch chbVoiceClock cbVoiceNames cbRemindFrequency chbAutoIncrease "
                       "bnOK bnCancel");
}

TEST_F(SettingsDialogTest, ShowingFillsTheControlsFromTheSettings) {
    settings.StopwatchTTS = true;
    settings.AutoIncreaseRemindFreq = true;
    Show();
    EXPECT_EQ(dialog->lbVersion->text(),
              LoadStr(StringId::Version) + QStringLiteral(" ") + FormatExeVersion(GetExeVersion()));
    EXPECT_TRUE(dialog->lbVersion->text().startsWith(QStringLiteral("版本 ") + QStringLiteral(HORAVIA_VERSION)));
    EXPECT_FALSE(dialog->Image1->pixmap().isNull()); // the pictures come from the program's resources
    EXPECT_FALSE(dialog->Image2->pixmap().isNull());
    EXPECT_FALSE(dialog->rb12hour->isChecked());
    EXPECT_TRUE(dialog->rb24hour->isChecked());
    EXPECT_EQ(dialog->cbLanguages->currentIndex(), 0);
    EXPECT_TRUE(dialog->chbMinToSysTray->isChecked());
    EXPECT_TRUE(dialog->chbShowMsgBox->isChecked());
    EXPECT_FALSE(dialog->chbPlaySound->isChecked());
    EXPECT_EQ(dialog->edSound->text(), settings.SoundFile);
    EXPECT_TRUE(dialog->chbVoiceTimer->isChecked());
    EXPECT_TRUE(dialog->chbVoiceStopwatch->isChecked());
    EXPECT_FALSE(dialog->chbVoiceClock->isChecked());
    // The voices of the interface's language, Chinese, come first, each group in the service's order.
    EXPECT_EQ(VoiceItems(),
              QStringList({QStringLiteral("Mandarin"), QStringLiteral("Cantonese"), QStringLiteral("English")}));
    EXPECT_EQ(dialog->cbVoiceNames->currentText(), QStringLiteral("Mandarin"));
    EXPECT_EQ(dialog->cbRemindFrequency->currentIndex(), 3);
    EXPECT_TRUE(dialog->chbAutoIncrease->isChecked());
    EXPECT_TRUE(dialog->lbRousely->isVisibleTo(dialog.get()));
    EXPECT_TRUE(dialog->pcSettings->isTabVisible(3));

    // The next showing starts again from the settings and the general page, with the list refilled once.
    dialog->pcSettings->setCurrentIndex(2);
    settings.TimeFormat = 0;
    settings.RemindPeriod = 45;
    voice.SetVoices({QStringLiteral("Mandarin")});
    Show();
    EXPECT_EQ(dialog->pcSettings->currentWidget(), dialog->tsGeneral);
    EXPECT_TRUE(dialog->rb12hour->isChecked());
    EXPECT_FALSE(dialog->rb24hour->isChecked());
    EXPECT_EQ(dialog->cbVoiceNames->count(), 1);
    EXPECT_EQ(dialog->cbRemindFrequency->currentIndex(), 0);
}

TEST_F(SettingsDialogTest, OkCopiesEveryControlBack) {
    Show();
    dialog->rb12hour->setChecked(true);
    dialog->chbMinToSysTray->setChecked(false);
    dialog->chbShowMsgBox->setChecked(false);
    dialog->chbPlaySound->click();
    dialog->edSound->setText(QStringLiteral("/srv/sounds/bell.wav"));
    dialog->chbVoiceTimer->setChecked(false);
    dialog->chbVoiceClock->setChecked(true);
    dialog->cbVoiceNames->setCurrentIndex(dialog->cbVoiceNames->findText(QStringLiteral("Cantonese")));
    dialog->cbRemindFrequency->setCurrentIndex(8);
    dialog->chbAutoIncrease->setChecked(true);
    PressOK();
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(settings.TimeFormat, 0);
    EXPECT_EQ(format.LongTimeFormat, "h:mm:ss ampm");
    EXPECT_FALSE(settings.MinimizeToTray);
    EXPECT_EQ(trayCalls, std::vector<bool>{false});
    EXPECT_FALSE(settings.ShowMsgBox);
    EXPECT_TRUE(settings.PlaySound);
    EXPECT_EQ(settings.SoundFile, QStringLiteral("/srv/sounds/bell.wav"));
    EXPECT_FALSE(settings.TimerTTS);
    EXPECT_TRUE(settings.ClockTTS);
    EXPECT_EQ(settings.VoiceName, QStringLiteral("Cantonese"));
    EXPECT_EQ(voice.current, 2);
    EXPECT_EQ(settings.RemindPeriod, 10800);
    EXPECT_TRUE(settings.AutoIncreaseRemindFreq);

    Show();
    dialog->rb24hour->setChecked(true);
    PressOK();
    EXPECT_EQ(settings.TimeFormat, 1);
    EXPECT_EQ(format.LongTimeFormat, "h:mm:ss");
}

TEST_F(SettingsDialogTest, OkThenSaveKeepsTheValuesInTheStore) {
    Show();
    dialog->chbPlaySound->click();
    dialog->edSound->setText(QStringLiteral("/home/用户/声音/闹钟 1.mp3"));
    dialog->cbVoiceNames->setCurrentIndex(dialog->cbVoiceNames->findText(QStringLiteral("English")));
    dialog->cbRemindFrequency->setCurrentIndex(6);
    PressOK();
    ASSERT_TRUE(Accepted());
    SaveSettings(settings, voice, 10, 20, path_);

    Settings loaded;
    test::FakeSpeechVoice other{{QStringLiteral("English"), QStringLiteral("Mandarin")}};
    LoadSettings(loaded, other, path_);
    EXPECT_EQ(Describe(loaded), Describe(settings));
    EXPECT_EQ(loaded.SoundFile, QStringLiteral("/home/用户/声音/闹钟 1.mp3"));
    EXPECT_EQ(loaded.RemindPeriod, 1800);
    EXPECT_EQ(other.current, 0);
}

TEST_F(SettingsDialogTest, CancelKeepsTheStoredSoundFile) {
    settings.PlaySound = true;
    Show();
    dialog->edSound->setText(QStringLiteral("/tmp/other.wav"));
    dialog->chbShowMsgBox->setChecked(false);
    const QString before = Describe(settings);
    dialog->bnCancel->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Describe(settings), before);
    EXPECT_TRUE(trayCalls.empty());
    Show();
    EXPECT_EQ(dialog->edSound->text(), QStringLiteral("/home/user/alarm.ogg"));
    EXPECT_TRUE(dialog->chbShowMsgBox->isChecked());
}

TEST_F(SettingsDialogTest, SoundControlsFollowThePlaySoundBox) {
    Show();
    const auto enabled = [this] {
        return std::vector<bool>{dialog->lbSound->isEnabled(), dialog->edSound->isEnabled(),
                                 dialog->bnSound->isEnabled()};
    };
    EXPECT_EQ(enabled(), std::vector<bool>(3, false));
    // On the box itself: the middle of a wide control may lie past the end of its text, where a click misses.
    const QPoint box(6, dialog->chbPlaySound->height() / 2);
    QTest::mouseClick(dialog->chbPlaySound, Qt::LeftButton, {}, box);
    EXPECT_EQ(enabled(), std::vector<bool>(3, true));
    QTest::mouseClick(dialog->chbPlaySound, Qt::LeftButton, {}, box);
    EXPECT_EQ(enabled(), std::vector<bool>(3, false));
    settings.PlaySound = true;
    Show();
    EXPECT_EQ(enabled(), std::vector<bool>(3, true));
}

TEST_F(SettingsDialogTest, NoVoicesLeaveTheVoiceAlone) {
    test::FakeSpeechVoice none;
    Create(none);
    Show();
    EXPECT_EQ(dialog->cbVoiceNames->count(), 0);
    EXPECT_EQ(dialog->cbVoiceNames->currentIndex(), -1);
    PressOK();
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(settings.VoiceName, QStringLiteral("Mandarin"));
    EXPECT_TRUE(none.setVoiceCalls.empty());
}

TEST_F(SettingsDialogTest, UnreachableSpeechServiceStillOpensTheDialog) {
    UnreachableVoice unreachable;
    Create(unreachable);
    Show();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cbVoiceNames->count(), 0);
    dialog->chbVoiceClock->setChecked(true);
    PressOK();
    EXPECT_TRUE(Accepted());
    EXPECT_TRUE(settings.ClockTTS);
    EXPECT_EQ(settings.VoiceName, QStringLiteral("Mandarin"));
}

TEST_F(SettingsDialogTest, AbsentVoiceNameSelectsTheFirstVoiceAndOkMakesItCurrent) {
    settings.VoiceName = QStringLiteral("Klingon");
    Show();
    EXPECT_EQ(dialog->cbVoiceNames->currentIndex(), 0);
    PressOK();
    EXPECT_EQ(settings.VoiceName, QStringLiteral("Mandarin"));
    EXPECT_EQ(voice.current, 1);
}

TEST_F(SettingsDialogTest, VoiceNameIsFoundWhateverItsCase) {
    settings.VoiceName = QStringLiteral("cANTONESE");
    Show();
    EXPECT_EQ(dialog->cbVoiceNames->currentText(), QStringLiteral("Cantonese"));
    PressOK();
    EXPECT_EQ(settings.VoiceName, QStringLiteral("Cantonese"));
    EXPECT_EQ(voice.current, 2);
}

// The entry that follows the interface reads in the interface's words, stays first in either language, and
// is stored under its one unchanging name.
TEST_F(SettingsDialogTest, TheFollowingVoiceReadsInTheInterfacesWordsAndStoresItsOwnName) {
    test::FakeSpeechVoice following{
        {ChoosingSpeechVoice::FollowingName(), QStringLiteral("English"), QStringLiteral("Mandarin")}};
    Create(following);
    settings.VoiceName = ChoosingSpeechVoice::FollowingName();
    for (const UiLanguage language : {UiLanguage::English, UiLanguage::Chinese}) {
        ApplyUiLanguage(language);
        Show();
        const QStringList items = VoiceItems();
        ASSERT_EQ(items.size(), 3);
        EXPECT_EQ(items.first(), language == UiLanguage::English
                                     ? QStringLiteral("Automatic (the interface's language)")
                                     : QStringLiteral("自动（说界面的语言）"));
        EXPECT_EQ(items.at(1),
                  language == UiLanguage::English ? QStringLiteral("English") : QStringLiteral("Mandarin"));
        EXPECT_EQ(dialog->cbVoiceNames->currentIndex(), 0);
        PressOK();
        EXPECT_EQ(settings.VoiceName, ChoosingSpeechVoice::FollowingName());
        EXPECT_EQ(following.current, 0);
    }
}

// Long names of the desktop's voices are read whole in the open list, however narrow the box is.
TEST_F(SettingsDialogTest, TheOpenVoiceListShowsTheLongestNameWhole) {
    const QString longest = QStringLiteral("Chinese (Mandarin, latin as Pinyin) (cmn-latn-pinyin, espeak-ng-mbrola)");
    QStringList voices;
    for (int i = 0; i < 40; ++i) {
        voices.append(QStringLiteral("Voice %1 (en-US, piper)").arg(i));
    }
    voices.insert(20, longest);
    voice.SetVoices(voices);
    Show();
    dialog->cbVoiceNames->showPopup();
    const QAbstractItemView* list = dialog->cbVoiceNames->view();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(dialog->cbVoiceNames->itemText(0), longest);
    EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(longest));
    const int rows = list->viewport()->height() / list->sizeHintForRow(0);
    EXPECT_GE(rows, 14);
    EXPECT_LE(rows, 16);
    dialog->cbVoiceNames->hidePopup();
}

TEST_F(SettingsDialogTest, UnknownTimeFormatChecksNeitherButtonAndIsKept) {
    Show(); // rb24hour checked first: the next showing must clear it
    settings.TimeFormat = 2;
    Show();
    EXPECT_FALSE(dialog->rb12hour->isChecked());
    EXPECT_FALSE(dialog->rb24hour->isChecked());
    const std::string longFormat = format.LongTimeFormat;
    PressOK();
    EXPECT_EQ(settings.TimeFormat, 2);
    EXPECT_EQ(format.LongTimeFormat, longFormat);
}

TEST_F(SettingsDialogTest, LanguageOutsideTheListShowsNoSelectionAndOkStoresMinusOne) {
    settings.Language = 3;
    Show();
    EXPECT_EQ(dialog->cbLanguages->currentIndex(), -1);
    PressOK();
    EXPECT_EQ(settings.Language, -1);
    Show();
    dialog->cbLanguages->setCurrentIndex(0);
    PressOK();
    EXPECT_EQ(settings.Language, 0);
}

TEST_F(SettingsDialogTest, InstalledSiblingHidesTheAboutTabAndItsLink) {
    sibling = true;
    Show();
    EXPECT_EQ(dialog->pcSettings->count(), 4);
    EXPECT_FALSE(dialog->pcSettings->isTabVisible(3));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(dialog->pcSettings->isTabVisible(i)) << i;
    }
    EXPECT_FALSE(dialog->lbRousely->isVisibleTo(dialog.get()));
    sibling = false;
    Show();
    EXPECT_TRUE(dialog->pcSettings->isTabVisible(3));
    EXPECT_TRUE(dialog->lbRousely->isVisibleTo(dialog.get()));
}

TEST_F(SettingsDialogTest, FileDialogOffersEverySoundFormatAndFillsTheEdit) {
    settings.PlaySound = true;
    Show();
    QTemporaryDir sounds;
    ASSERT_TRUE(sounds.isValid());
    const QStringList all = {QStringLiteral("a.mp3"), QStringLiteral("b.OGG"), QStringLiteral("c.wav"),
                             QStringLiteral("d.wma"), QStringLiteral("e.wmv"), QStringLiteral("f.aac"),
                             QStringLiteral("g.m4a"), QStringLiteral("h.ape"), QStringLiteral("i.txt"),
                             QStringLiteral("j.cda")};
    for (const QString& name : all) {
        QFile file(sounds.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString chosen = sounds.filePath(QStringLiteral("h.ape"));

    QString title;
    QStringList filters;
    test::WhenShown<QFileDialog>([&](QFileDialog* d) {
        title = d->windowTitle();
        filters = d->nameFilters();
        d->selectFile(chosen);
        static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the choice, as OK does
    });
    QTest::mouseClick(dialog->bnSound, Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("选择声音文件"));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_TRUE(filters.first().startsWith(QStringLiteral("声音文件 (")));
    EXPECT_EQ(dialog->edSound->text(), chosen);

    // The patterns the dialog matches with, applied to a folder of every kind of file.
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(([^)]*)\\)")).match(filters.first());
    ASSERT_TRUE(m.hasMatch());
    const QStringList patterns = m.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList matched = QDir(sounds.path()).entryList(patterns, QDir::Files, QDir::Name);
    EXPECT_EQ(matched, all.mid(0, 8));

    // Cancelling the file dialog changes nothing.
    test::WhenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    dialog->bnSound->click();
    EXPECT_EQ(dialog->edSound->text(), chosen);
    PressOK();
    EXPECT_EQ(settings.SoundFile, chosen);
}

TEST_F(SettingsDialogTest, SoundPathLongerThanTheStoreHoldsIsRefused) {
    Show();
    const QString before = Describe(settings);
    dialog->chbPlaySound->click();
    dialog->chbShowMsgBox->setChecked(false);
    dialog->edSound->setText(QStringLiteral("/") + QString(WideValueMaxUnits, QLatin1Char('x')));
    const QString message = MessageFrom([this] { PressOK(); });
    EXPECT_EQ(message, QStringLiteral("声音文件的路径太长，无法保存。"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Describe(settings), before);
    EXPECT_TRUE(trayCalls.empty());
    EXPECT_TRUE(voice.setVoiceCalls.empty());

    // The longest path the store holds goes through and survives the save.
    const QString longest = QStringLiteral("/") + QString(WideValueMaxUnits - 1, QLatin1Char('y'));
    dialog->edSound->setText(longest);
    EXPECT_EQ(MessageFrom([this] { PressOK(); }), QString());
    EXPECT_TRUE(Accepted());
    SaveSettings(settings, voice, 0, 0, path_);
    Settings loaded;
    LoadSettings(loaded, voice, path_);
    EXPECT_EQ(loaded.SoundFile, longest);
}

TEST_F(SettingsDialogTest, VoiceNameLongerThanTheStoreHoldsIsRefused) {
    const QString huge = QString(WideValueMaxUnits + 5, QLatin1Char('v'));
    test::FakeSpeechVoice longNamed{{huge}};
    Create(longNamed);
    Show();
    const QString before = Describe(settings);
    EXPECT_EQ(MessageFrom([this] { PressOK(); }), QStringLiteral("语音的名称太长，无法保存。"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Describe(settings), before);
    EXPECT_TRUE(longNamed.setVoiceCalls.empty());
}

TEST_F(SettingsDialogTest, LinksOpenTheirPagesAndChangeColourUnderThePointer) {
    Show();
    dialog->pcSettings->setCurrentWidget(dialog->tsAbout);
    for (TLinkLabel* link : {dialog->lbWeb, dialog->lbMail, dialog->lbRousely}) {
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    }
    ASSERT_EQ(shell.Urls.size(), 3);
    EXPECT_EQ(shell.Urls.at(0), ProductPageUrl);
    EXPECT_TRUE(shell.Urls.at(0).endsWith(QStringLiteral("/products/horavia")));
    const QUrl mail(shell.Urls.at(1));
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), SupportMailAddress);
    EXPECT_EQ(QUrlQuery(mail).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("\"Horavia\""));
    EXPECT_EQ(shell.Urls.at(2), SiblingPageUrl);
    EXPECT_TRUE(shell.Urls.at(2).endsWith(QStringLiteral("/products/rousely")));
    EXPECT_EQ(dialog->lbMail->text(), SupportMailAddress);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(dialog->lbWeb, &enter);
    EXPECT_EQ(dialog->lbWeb->palette().color(QPalette::WindowText), QColor(Qt::red));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(dialog->lbWeb, &leave);
    EXPECT_EQ(dialog->lbWeb->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(SettingsDialogTest, F1OpensTheSettingsTopicOnceFromEveryControl) {
    Show();
    QTest::keyRelease(dialog.get(), Qt::Key_F1);
    QTest::keyRelease(dialog.get(), Qt::Key_F2);
    EXPECT_EQ(shell.Topics, QStringList{QStringLiteral("Settings.htm")});
    // The sound-file box keeps the keys it is given; the help still opens from it, as from every control.
    settings.PlaySound = true;
    Show();
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || control->window() != dialog.get()) {
            continue;
        }
        shell.Topics.clear();
        control->setFocus();
        QTest::keyRelease(control, Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_EQ(shell.Topics, QStringList{QStringLiteral("Settings.htm")})
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
    EXPECT_TRUE(dialog->isVisible());
}

// The pages F1 opens, as the build puts them beside the program: every topic there, declared UTF-8,
// valid UTF-8, and every picture, style sheet and page it refers to present.
TEST(HelpPagesTest, BuiltTopicsAreCompleteAndTheirReferencesResolve) {
    const QDir help(QStringLiteral(HORAVIA_HELP_DIR));
    for (const QString& topic :
         {QStringLiteral("Welcometopic.htm"), QStringLiteral("Timer.htm"), QStringLiteral("Settings.htm")}) {
        QFile file(help.filePath(topic));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << topic.toStdString();
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(bytes);
        EXPECT_FALSE(decoder.hasError()) << topic.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">"))) << topic.toStdString();
        int references = 0;
        const QRegularExpression link(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
        for (const QRegularExpressionMatch& m : link.globalMatch(text)) {
            ++references;
            EXPECT_TRUE(QFileInfo::exists(help.filePath(m.captured(1))))
                << topic.toStdString() << " refers to missing " << m.captured(1).toStdString();
        }
        EXPECT_GE(references, 5) << topic.toStdString();
    }
}

class SpeechSettingsLinkTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        ASSERT_TRUE(bin_.isValid());
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin_.path()));
    }
    void TearDown() override {
        qputenv("PATH", savedPath_);
        SettingsDialogTest::TearDown();
    }
    void Install(const QString& program) {
        QFile file(bin_.filePath(program));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexit 0\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Click() {
        return MessageFrom([this] { QTest::mouseClick(dialog->lbSpeechOther, Qt::LeftButton); });
    }

    QTemporaryDir bin_;
    QByteArray savedPath_;
};

TEST_F(SpeechSettingsLinkTest, StartsTheFirstKnownSettingsProgramFound) {
    Install(QStringLiteral("systemsettings"));
    Show();
    EXPECT_EQ(Click(), QString());
    EXPECT_EQ(started, QStringList{bin_.filePath(QStringLiteral("systemsettings")) + QStringLiteral(" kcm_access")});
    Install(QStringLiteral("gnome-control-center"));
    started.clear();
    EXPECT_EQ(Click(), QString());
    EXPECT_EQ(started,
              QStringList{bin_.filePath(QStringLiteral("gnome-control-center")) + QStringLiteral(" universal-access")});
}

TEST_F(SpeechSettingsLinkTest, NoSettingsProgramOrAFailedStartIsExplained) {
    Show();
    EXPECT_FALSE(FindSpeechSettingsCommand().has_value());
    EXPECT_TRUE(Click().contains(QStringLiteral("语音设置")));
    EXPECT_TRUE(started.isEmpty());
    Install(QStringLiteral("mate-at-properties"));
    startSucceeds = false;
    EXPECT_TRUE(Click().contains(QStringLiteral("语音设置")));
    EXPECT_EQ(started.size(), 1);
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace
} // namespace horavia

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
