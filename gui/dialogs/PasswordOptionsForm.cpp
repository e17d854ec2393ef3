#include "gui/dialogs/PasswordOptionsForm.h"

#include "core/passwords/PasswordAlphabet.h"

#include <limits>

namespace rm {

std::int32_t leadingNumber(const std::string& text)
{
    std::int64_t n = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            break;
        n = n * 10 + (ch - '0');
        if (n > std::numeric_limits<std::int32_t>::max())
            return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(n);
}

PasswordOptionsForm::PasswordOptionsForm(DialogControls& controls, PasswordOptions& record)
    : c_(controls), record_(record)
{
}

void PasswordOptionsForm::initialise()
{
    c_.setText(IdWordCount, "0 words");
    c_.setChecked(IdRandomCaps, record_.RandomCaps);
    c_.setChecked(IdUppercase, record_.Uppercase);
    c_.setChecked(IdSymbols, record_.Symbols);
    c_.setChecked(IdSaveToFile, record_.SaveToFile);
    c_.setChecked(IdSaveToLog, record_.SaveToLog);
    c_.setChecked(IdNumerals, record_.Numerals);
    c_.setChecked(IdNoSimilar, record_.NoSimilar);
    c_.setChecked(IdLowercase, record_.Lowercase);
    c_.setText(IdDictionaryFile, record_.DictionaryFile);
    c_.setText(IdBits, std::to_string(record_.BitsOfEntropy));
    c_.setChecked(record_.Passwords ? IdGeneratePasswords : IdGeneratePassphrases, true);
    refreshControls();
}

PasswordOptions PasswordOptionsForm::readControls() const
{
    PasswordOptions o = record_;
    o.Passwords = c_.isChecked(IdGeneratePasswords);
    o.Lowercase = c_.isChecked(IdLowercase);
    o.Uppercase = c_.isChecked(IdUppercase);
    o.Numerals = c_.isChecked(IdNumerals);
    o.Symbols = c_.isChecked(IdSymbols);
    o.NoSimilar = c_.isChecked(IdNoSimilar);
    o.RandomCaps = c_.isChecked(IdRandomCaps);
    o.SaveToFile = c_.isChecked(IdSaveToFile);
    o.SaveToLog = c_.isChecked(IdSaveToLog);
    o.DictionaryFile = c_.text(IdDictionaryFile);
    o.BitsOfEntropy = leadingNumber(c_.text(IdBits));
    return o;
}

void PasswordOptionsForm::refreshControls()
{
    const bool passwords = c_.isChecked(IdGeneratePasswords);
    for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols, IdNoSimilar})
        c_.setEnabled(id, passwords);
    for (int id : {IdRandomCaps, IdBrowse, IdDictionaryLabel, IdWordCount, IdDictionaryFile})
        c_.setEnabled(id, !passwords);

    const PasswordAlphabet alphabet(readControls());
    if (!updating_) {
        updating_ = true;
        c_.setText(IdCharacters, std::to_string(alphabet.lengthForBits()));
        updating_ = false;
    }
}

void PasswordOptionsForm::bitsChanged()
{
    refreshControls();
}

void PasswordOptionsForm::charactersChanged()
{
    if (updating_)
        return;
    const PasswordAlphabet alphabet(readControls());
    const std::int32_t length = leadingNumber(c_.text(IdCharacters));
    updating_ = true;
    c_.setText(IdBits, std::to_string(alphabet.bitsForLength(length)));
    refreshControls();
    updating_ = false;
}

void PasswordOptionsForm::store()
{
    const bool keep = record_.GenerateUnique;
    record_ = readControls();
    record_.GenerateUnique = keep;
}

} // namespace rm
