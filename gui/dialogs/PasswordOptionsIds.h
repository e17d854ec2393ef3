#pragma once

namespace rm {

// The template of the password options dialog.
enum PasswordOptionsTemplate { IddPasswordOptions = 158 };

// Controls of the password options dialog.
enum PasswordOptionsId {
    IdSaveToLog = 1098,
    IdSaveToFile = 1099,
    IdGeneratePasswords = 1100,
    IdGeneratePassphrases = 1101,
    IdBits = 1102,
    IdCharacters = 1104,
    IdBrowse = 1113,
    IdDictionaryFile = 1114,
    IdWordCount = 1115,
    IdLowercase = 1116,
    IdUppercase = 1117,
    IdNumerals = 1118,
    IdSymbols = 1119,
    IdNoSimilar = 1120,
    IdRandomCaps = 1122,
    IdDictionaryLabel = 1127,
    IdEntropy = 1128,
    IdRecipients = 1129,
    IdRecipientsLabel = 1130,
};

} // namespace rm
