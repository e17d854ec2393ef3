#include "gui/FakeWindow.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/PasswordOptionsDialog.h"
#include "core/passwords/Dictionary.h"
#include "core/passwords/PasswordRecipe.h"
#include "support/MemoryProfileStore.h"
#include "support/ReportDoubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace rm {

// Where the default list "dict.txt" is looked for: the installed one.
std::string installedList()
{
    MemoryFileReader probe;
    loadDictionary(probe, "dict.txt");
    return probe.asked.front();
}

class PasswordOptionsDialogTest : public QObject {
    Q_OBJECT

    PasswordOptions record;
    std::unique_ptr<MemoryFileReader> reader;
    std::unique_ptr<ScriptedFileChooser> chooser;

    static QString text(QWidget* d, int id) { return control<QLineEdit>(d, id)->text(); }
    static QString label(QWidget* d, int id) { return control<QLabel>(d, id)->text(); }
    PasswordOptionsForm::Services services() { return {*reader, *chooser}; }
    // `n` different words, one a line.
    static std::string words(int n)
    {
        std::string list;
        for (int i = 0; i < n; ++i)
            list += "w" + std::to_string(i) + "\n";
        return list;
    }

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        record = {};
        reader = std::make_unique<MemoryFileReader>();
        chooser = std::make_unique<ScriptedFileChooser>();
    }

    void opensWithTheDefaultsOfAFreshProfile()
    {
        MemoryProfileStore profile;
        SettingsStore settings(profile);
        record = settings.loadPasswordOptions();
        reader->files[installedList()] = words(7776);
        PasswordOptionsDialog d(record, services(), nullptr);
        QCOMPARE(d.windowTitle(), QString("Random Password Options"));
        QCOMPARE(text(&d, IdBits), QString("128"));
        QCOMPARE(text(&d, IdCharacters), QString("20"));
        QCOMPARE(label(&d, IdWordCount), QString("7776 words"));
        QCOMPARE(label(&d, IdEntropy), QString("130 bits of entropy per password")); // 20 characters
        QCOMPARE(text(&d, IdDictionaryFile), QString("dict.txt"));
        QCOMPARE(text(&d, IdRecipients), QString(""));
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
        QVERIFY(*profile.value("Passwords", "Recipients") == MemoryProfileStore::Value(""));
    }

    // What would be drawn, at every change; below the least allowed its
    // reason stands in the label and OK does nothing.
    void entropyLabelAndTheRefusalOfWeakPasswords()
    {
        PasswordOptionsDialog d(record, services(), nullptr);
        d.show();
        auto* ok = control<QPushButton>(&d, IdOk);
        retype(&d, IdBits, "64");
        QCOMPARE(label(&d, IdEntropy), QString("64 bits of entropy per password")); // 10 characters
        QVERIFY(ok->isEnabled());

        retype(&d, IdBits, "40");
        PasswordOptions weak;
        weak.bitsOfEntropy = 40;
        const auto refused = PasswordRecipe::make(weak);
        QVERIFY(std::holds_alternative<PasswordRecipe::Refusal>(refused));
        QCOMPARE(label(&d, IdEntropy).toStdString(), std::get<PasswordRecipe::Refusal>(refused).reason);
        QVERIFY(!ok->isEnabled());
        d.accept(); // as any other way to OK would
        QVERIFY(d.isVisible());
        QCOMPARE(record.bitsOfEntropy, 128);

        // Another class off is refused too; more bits are drawn again.
        click(&d, IdSymbols);
        QVERIFY(!ok->isEnabled());
        retype(&d, IdBits, "72");
        QCOMPARE(text(&d, IdCharacters), QString("13"));
        QCOMPARE(label(&d, IdEntropy), QString("77 bits of entropy per password"));
        QVERIFY(ok->isEnabled());
        click(&d, IdOk);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(record.bitsOfEntropy, 72);
    }

    // Browse reads the chosen dictionary: its words count and draw.
    void browseReadsTheChosenDictionary()
    {
        reader->files["/lists/big.txt"] = words(2048);
        PasswordOptionsDialog d(record, services(), nullptr);
        d.show();
        click(&d, IdGeneratePassphrases);
        QCOMPARE(label(&d, IdWordCount), QString("0 words")); // no dict.txt here
        QVERIFY(!control<QPushButton>(&d, IdOk)->isEnabled());

        chooser->answers = {std::nullopt, "/lists/big.txt"};
        click(&d, IdBrowse); // cancelled
        QCOMPARE(text(&d, IdDictionaryFile), QString("dict.txt"));
        click(&d, IdBrowse);
        QCOMPARE(chooser->openRequests.size(), std::size_t(2));
        QCOMPARE(chooser->openRequests[1].initialName, std::string("dict.txt"));
        QCOMPARE(text(&d, IdDictionaryFile), QString("/lists/big.txt"));
        QCOMPARE(label(&d, IdWordCount), QString("2048 words"));
        QCOMPARE(text(&d, IdCharacters), QString("12")); // words, at 11 bits each
        QCOMPARE(label(&d, IdEntropy), QString("132 bits of entropy per password"));
        click(&d, IdOk);
        QCOMPARE(record.dictionaryFile, std::string("/lists/big.txt"));
        QVERIFY(!record.passwords);
    }

    void typedCharactersSetTheBitsAndWaitForTheNextRefresh()
    {
        PasswordOptionsDialog d(record, services(), nullptr);
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
        PasswordOptionsDialog d(record, services(), nullptr);
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
        PasswordOptionsDialog d(record, services(), nullptr);
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
        reader->files[installedList()] = words(7776); // as the picture shows it
        PasswordOptionsDialog d(record, services(), nullptr);
        d.show();
        click(&d, IdNoSimilar);
        click(&d, IdSaveToFile);
        retype(&d, IdBits, "200");
        retype(&d, IdRecipients, "3AA5C34371567BD2, ops@example.org");
        saveScreenshot(&d, "password-options-recipients");
        click(&d, IdOk);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(record.noSimilar);
        QVERIFY(record.saveToFile);
        QCOMPARE(record.bitsOfEntropy, 200);
        QCOMPARE(record.recipients, std::string("3AA5C34371567BD2, ops@example.org"));
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
        QVERIFY(control<QPushButton>(&w, 1126)->isVisible()); // Configure
    }
};

} // namespace rm

QTEST_MAIN(rm::PasswordOptionsDialogTest)
#include "PasswordOptionsDialogTest.moc"
