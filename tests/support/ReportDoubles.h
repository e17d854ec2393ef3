#pragma once

#include "core/ports/FileChooser.h"
#include "core/ports/FileWriter.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// Answers save dialogs from a script (nothing left: cancelled) and keeps
// every request it was shown.
class ScriptedFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override
    {
        requests.push_back(request);
        if (onShow)
            onShow();
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<SaveFileRequest> requests;
    std::function<void()> onShow; // e.g. the user taking minutes over the dialog
};

// Writes nothing: answers every write with one cause (None: written),
// keeping each path and what it was asked to write there.
class RecordingFileWriter : public FileWriter {
public:
    explicit RecordingFileWriter(FileFailure failure = FileFailure::None) : failure(failure) {}
    FileFailure replaceFile(const std::string& path, const std::string& written) override
    {
        paths.push_back(path);
        contents.push_back(written);
        return failure;
    }
    FileFailure failure;
    std::vector<std::string> paths, contents;
};
using FailingFileWriter = RecordingFileWriter;

} // namespace rm
