#include "gui/dialogs/PasswordOptionsForm.h"

#include "core/passwords/Dictionary.h"
#include "core/passwords/PasswordAlphabet.h"
#include "core/passwords/PasswordRecipe.h"

#include <cmath>
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

PasswordOptionsForm::PasswordOptionsForm(DialogControls& controls, PasswordOptions& record, Services services)
    : c_(controls), record_(record), s_(services)
{
}

void PasswordOptionsForm::initialise()
{
    c_.setChecked(IdRandomCaps, record_.randomCaps);
    c_.setChecked(IdUppercase, record_.uppercase);
    c_.setChecked(IdSymbols, record_.symbols);
    c_.setChecked(IdSaveToFile, record_.saveToFile);
    c_.setChecked(IdSaveToLog, record_.saveToLog);
    c_.setChecked(IdNumerals, record_.numerals);
    c_.setChecked(IdNoSimilar, record_.noSimilar);
    c_.setChecked(IdLowercase, record_.lowercase);
    c_.setText(IdDictionaryFile, record_.dictionaryFile);
    c_.setText(IdRecipients, record_.recipients);
    loadWords();
    c_.setText(IdBits, std::to_string(record_.bitsOfEntropy));
    c_.setChecked(record_.passwords ? IdGeneratePasswords : IdGeneratePassphrases, true);
    refreshControls();
}

PasswordOptions PasswordOptionsForm::readControls() const
{
    PasswordOptions o = record_;
    o.passwords = c_.isChecked(IdGeneratePasswords);
    o.lowercase = c_.isChecked(IdLowercase);
    o.uppercase = c_.isChecked(IdUppercase);
    o.numerals = c_.isChecked(IdNumerals);
    o.symbols = c_.isChecked(IdSymbols);
    o.noSimilar = c_.isChecked(IdNoSimilar);
    o.randomCaps = c_.isChecked(IdRandomCaps);
    o.saveToFile = c_.isChecked(IdSaveToFile);
    o.saveToLog = c_.isChecked(IdSaveToLog);
    o.dictionaryFile = c_.text(IdDictionaryFile);
    o.bitsOfEntropy = leadingNumber(c_.text(IdBits));
    o.recipients = c_.text(IdRecipients);
    return o;
}

// A bounded read of a local file: quick enough for the window's thread.
void PasswordOptionsForm::loadWords()
{
    words_ = loadDictionary(s_.files, c_.text(IdDictionaryFile));
    c_.setText(IdWordCount, std::to_string(words_.size()) + (words_.size() == 1 ? " word" : " words"));
}

void PasswordOptionsForm::browse()
{
    const std::optional<std::string> chosen =
        s_.chooser.chooseOpenFile({c_.text(IdDictionaryFile), "Word lists", "*.txt"});
    if (chosen) {
        c_.setText(IdDictionaryFile, *chosen);
        loadWords();
    }
    refreshControls();
}

void PasswordOptionsForm::refreshControls()
{
    const bool passwords = c_.isChecked(IdGeneratePasswords);
    for (int id : {IdLowercase, IdUppercase, IdNumerals, IdSymbols, IdNoSimilar})
        c_.setEnabled(id, passwords);
    for (int id : {IdRandomCaps, IdBrowse, IdDictionaryLabel, IdWordCount, IdDictionaryFile})
        c_.setEnabled(id, !passwords);

    const PasswordOptions options = readControls();
    const PasswordAlphabet alphabet(options, static_cast<std::int64_t>(words_.size()));
    if (!updating_) {
        updating_ = true;
        c_.setText(IdCharacters, std::to_string(alphabet.lengthForBits()));
        updating_ = false;
    }

    const auto recipe = PasswordRecipe::make(options, words_);
    if (const auto* refusal = std::get_if<PasswordRecipe::Refusal>(&recipe)) {
        acceptable_ = false;
        c_.setText(IdEntropy, refusal->reason);
    } else {
        acceptable_ = true;
        // Rounded down: the label never claims more than is drawn.
        const auto bits = static_cast<long long>(std::floor(std::get<PasswordRecipe>(recipe).entropyBits()));
        c_.setText(IdEntropy, std::to_string(bits) + " bits of entropy per password");
    }
    c_.setEnabled(IdOk, acceptable_);
}

void PasswordOptionsForm::bitsChanged()
{
    refreshControls();
}

void PasswordOptionsForm::charactersChanged()
{
    if (updating_)
        return;
    const PasswordAlphabet alphabet(readControls(), static_cast<std::int64_t>(words_.size()));
    const std::int32_t length = leadingNumber(c_.text(IdCharacters));
    updating_ = true;
    c_.setText(IdBits, std::to_string(alphabet.bitsForLength(length)));
    refreshControls();
    updating_ = false;
}

void PasswordOptionsForm::store()
{
    const bool keep = record_.generateUnique;
    record_ = readControls();
    record_.generateUnique = keep;
}

} // namespace rm
