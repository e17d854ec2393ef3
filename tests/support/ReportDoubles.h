#pragma once

#include "core/ports/FileChooser.h"
#include "core/ports/FileReader.h"
#include "core/ports/FileWriter.h"
#include "core/ports/JournalFiles.h"

#include <map>
#include <memory>
#include <set>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// Answers save and open dialogs from one script (nothing left: cancelled)
// and keeps every request it was shown.
class ScriptedFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override
    {
        requests.push_back(request);
        return answer();
    }
    std::optional<std::string> chooseOpenFile(const OpenFileRequest& request) override
    {
        openRequests.push_back(request);
        return answer();
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<SaveFileRequest> requests;
    std::vector<OpenFileRequest> openRequests;
    std::function<void()> onShow; // e.g. the user taking minutes over the dialog

private:
    std::optional<std::string> answer()
    {
        if (onShow)
            onShow();
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Files by path in memory; one past the limit is not read, as on disk.
class MemoryFileReader : public FileReader {
public:
    std::optional<std::string> readFile(const std::string& path, std::size_t limit) override
    {
        asked.push_back(path);
        const auto found = files.find(path);
        if (found == files.end() || found->second.size() > limit)
            return std::nullopt;
        return found->second;
    }
    std::map<std::string, std::string> files;
    std::vector<std::string> asked; // every path read, in order
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

// Journals kept in memory by path, as the files would hold them; a journal
// is held while its JournalFile lives. `failure` answers every create.
class MemoryJournalFiles : public JournalFiles {
public:
    std::unique_ptr<JournalFile> create(const std::string& path, const std::string& firstLine,
                                        FileFailure& failed) override
    {
        failed = failure != FileFailure::None ? failure
                 : files.count(path)          ? FileFailure::SharingViolation
                                              : FileFailure::None;
        if (failed != FileFailure::None)
            return nullptr;
        files[path] = firstLine + "\n";
        return std::make_unique<Held>(*this, path);
    }
    std::vector<std::string> list(const std::string& folder) override
    {
        std::vector<std::string> paths;
        for (const auto& [path, text] : files)
            if (path.rfind(folder.empty() ? "" : folder.back() == '/' ? folder : folder + "/", 0) == 0)
                paths.push_back(path);
        return paths;
    }
    std::unique_ptr<JournalFile> claim(const std::string& path) override
    {
        if (!files.count(path) || held.count(path))
            return nullptr;
        return std::make_unique<Held>(*this, path);
    }

    FileFailure failure = FileFailure::None;
    FileFailure appendFailure = FileFailure::None; // answers every append
    std::map<std::string, std::string> files;
    std::set<std::string> held;

private:
    class Held : public JournalFile {
    public:
        Held(MemoryJournalFiles& owner, std::string path) : owner_(owner), path_(std::move(path))
        {
            owner_.held.insert(path_);
        }
        ~Held() override { owner_.held.erase(path_); }
        const std::string& path() const override { return path_; }
        FileFailure append(const std::string& line) override
        {
            if (owner_.appendFailure != FileFailure::None)
                return owner_.appendFailure;
            owner_.files[path_] += line + "\n";
            return FileFailure::None;
        }
        std::optional<std::string> read() override { return owner_.files.at(path_); }
        FileFailure remove() override
        {
            owner_.files.erase(path_);
            return FileFailure::None;
        }

    private:
        MemoryJournalFiles& owner_;
        std::string path_;
    };
};

} // namespace rm
