#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/PasswordOptionsDialog.h"
#include "support/MemoryProfileStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace rm {

class PasswordOptionsDialogTest : public QObject {
    Q_OBJECT

    PasswordOptions record;

    static QString text(QWidget* d, int id) { return control<QLineEdit>(d, id)->text(); }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init() { record = {}; }

    void opensWithTheDefaultsOfAFreshProfile()
    {
        MemoryProfileStore profile;
        SettingsStore settings(profile);
        record = settings.loadPasswordOptions();
        PasswordOptionsDialog d(record, nullptr);
        QCOMPARE(d.windowTitle(), QString("Random Password Options"));
        QCOMPARE(text(&d, IdBits), QString("128"));
        QCOMPARE(text(&d, IdCharacters), QString("20"));
        QCOMPARE(control<QLabel>(&d, IdWordCount)->text(), QString("0 words"));
        QCOMPARE(text(&d, IdDictionaryFile), QString("dict.txt"));
        QVERIFY(control<QRadioButton>(&d, IdGeneratePasswords)->isChecked());
        QVERIFY(!control<QRadioButton>(&d, IdGeneratePassphrases)->isChecked());
        for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols, IdSaveToLog})
            QVERIFY2(control<QCheckBox>(&d, id)->isChecked(), qPrintable(QString::number(id)));
        for (int id : {IdNoSimilar, IdRandomCaps, IdSaveToFile})
            QVERIFY2(!control<QCheckBox>(&d, id)->isChecked(), qPrintable(QString::number(id)));
        for (int id : {IdRandomCaps, IdBrowse, IdDictionaryLabel, IdWordCount, IdDictionaryFile})
            QVERIFY2(!control<QWidget>(&d, id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols, IdNoSimilar})
            QVERIFY(control<QWidget>(&d, id)->isEnabled());
        d.show();
        saveScreenshot(&d, "password-options");

        // OK without a change stores the defaults, the one without a control too.
        click(&d, IdOk);
        settings.savePasswordOptions(record);
        const std::pair<const char*, std::uint32_t> stored[] = {
            {"GenerateUnique", 0}, {"Passwords", 1}, {"Lowercase", 1},      {"Uppercase", 1},
            {"Numerals", 1},       {"Symbols", 1},   {"NoSimilar", 0},      {"RandomCaps", 0},
            {"BitsOfEntropy", 128}, {"SaveToFile", 0}, {"SaveToLog", 1}};
        for (const auto& [name, value] : stored)
            QVERIFY2(*profile.value("Passwords", name) == MemoryProfileStore::Value(value), name);
        QVERIFY(*profile.value("Passwords", "DictionaryFile") == MemoryProfileStore::Value("dict.txt"));
    }

    void typedCharactersSetTheBitsAndWaitForTheNextRefresh()
    {
        PasswordOptionsDialog d(record, nullptr);
        d.show();
        retype(&d, IdCharacters, "20");
        QCOMPARE(text(&d, IdBits), QString("132"));
        QCOMPARE(text(&d, IdCharacters), QString("20"));
        click(&d, IdSymbols);
        click(&d, IdSymbols); // back to all four classes: the refresh recomputes from the bits
        QCOMPARE(text(&d, IdCharacters), QString("21"));
    }

    void classesModesAndEmptyBits()
    {
        PasswordOptionsDialog d(record, nullptr);
        d.show();
        click(&d, IdNoSimilar);
        QCOMPARE(text(&d, IdCharacters), QString("23"));
        for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols})
            click(&d, id);
        QCOMPARE(text(&d, IdCharacters), QString("1"));
        retype(&d, IdBits, "4096");
        QCOMPARE(text(&d, IdCharacters), QString("1"));

        click(&d, IdLowercase);
        retype(&d, IdBits, "");
        QCOMPARE(text(&d, IdCharacters), QString("1")); // no digits reads as 0 bits

        click(&d, IdGeneratePassphrases);
        QVERIFY(!control<QRadioButton>(&d, IdGeneratePasswords)->isChecked());
        for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols, IdNoSimilar})
            QVERIFY(!control<QWidget>(&d, id)->isEnabled());
        for (int id : {IdRandomCaps, IdBrowse, IdDictionaryLabel, IdWordCount, IdDictionaryFile})
            QVERIFY(control<QWidget>(&d, id)->isEnabled());
        retype(&d, IdBits, "128");
        QCOMPARE(text(&d, IdCharacters), QString("1"));
        // Digits only.
        retype(&d, IdBits, "1x2");
        QCOMPARE(text(&d, IdBits), QString("12"));
    }

    void cancelStoresNothing()
    {
        record.generateUnique = true;
        const PasswordOptions before = record;
        PasswordOptionsDialog d(record, nullptr);
        d.show();
        click(&d, IdNoSimilar);
        retype(&d, IdBits, "200");
        click(&d, IdCancel);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(record == before);
    }

    void okStoresEveryFieldButGenerateUnique()
    {
        record.generateUnique = true;
        PasswordOptionsDialog d(record, nullptr);
        d.show();
        click(&d, IdNoSimilar);
        click(&d, IdSaveToFile);
        retype(&d, IdBits, "200");
        click(&d, IdOk);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(record.noSimilar);
        QVERIFY(record.saveToFile);
        QCOMPARE(record.bitsOfEntropy, 200);
        QVERIFY(record.generateUnique);
    }

    void mainWindowExchangeSavesThePasswordsSection()
    {
        FakeWindow fake;
        auto window = fake.open(); // the real dialogs
        MainWindow& w = *window;
        RegistryFileStore& profile = fake.profile;
        QCOMPARE(profile.readInteger("Passwords", "BitsOfEntropy", 0), 128u);

        // Answer the modal dialog from inside its own loop.
        auto answer = [](const QString& bits, int button) {
            QTimer::singleShot(0, [=] {
                auto* d = qobject_cast<PasswordOptionsDialog*>(QApplication::activeModalWidget());
                QVERIFY(d);
                control<QLineEdit>(d, IdBits)->setText(bits);
                QTest::mouseClick(control<QPushButton>(d, button), Qt::LeftButton);
            });
        };
        answer("64", IdOk);
        w.controller().passwordOptionsExchange();
        QCOMPARE(w.controller().passwordOptions().bitsOfEntropy, 64);
        QCOMPARE(profile.readInteger("Passwords", "BitsOfEntropy", 0), 64u);

        answer("32", IdCancel);
        w.controller().passwordOptionsExchange();
        QCOMPARE(w.controller().passwordOptions().bitsOfEntropy, 64);
        QCOMPARE(profile.readInteger("Passwords", "BitsOfEntropy", 0), 64u);
        // The way to it stays hidden.
        QVERIFY(!control<QPushButton>(&w, 1126)->isVisible());
    }
};

} // namespace rm

QTEST_MAIN(rm::PasswordOptionsDialogTest)
#include "PasswordOptionsDialogTest.moc"
