#pragma once

#include "core/ports/DirectoryClient.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rm {

// A directory held in memory, served page by page as scripted, that keeps
// what was asked of it and whether every search and connection was ended.
class FakeDirectory : public DirectoryClient {
public:
    std::vector<std::vector<DirectoryEntry>> pages;
    bool reachable = true;
    bool bindAccepted = true;
    BindResult refusal = BindResult::Refused; // what a bind not accepted gives
    bool searchStarts = true;
    std::size_t failingPage = SIZE_MAX; // this page and all after it fail
    // Called before each page is served, with its index.
    std::function<void(std::size_t)> onPage;

    std::vector<std::string> domains;
    std::vector<DirectoryQuery> queries;
    int binds = 0;
    bool simpleBindAllowed = false; // at the last bind
    std::size_t pagesAsked = 0;
    int openConnections = 0;
    int openSearches = 0;
    bool searchOutlivedConnection = false;

    std::unique_ptr<Connection> connect(const std::string& domain) override
    {
        domains.push_back(domain);
        if (!reachable)
            return nullptr;
        return std::make_unique<FakeConnection>(*this);
    }

private:
    class FakeSearch : public Search {
    public:
        explicit FakeSearch(FakeDirectory& d) : d_(d) { ++d_.openSearches; }
        ~FakeSearch() override { --d_.openSearches; }
        bool nextPage(std::vector<DirectoryEntry>& entries) override
        {
            const std::size_t index = d_.pagesAsked++;
            if (d_.onPage)
                d_.onPage(index);
            if (index >= d_.pages.size() || index >= d_.failingPage)
                return false;
            entries = d_.pages[index];
            return true;
        }

    private:
        FakeDirectory& d_;
    };

    class FakeConnection : public Connection {
    public:
        explicit FakeConnection(FakeDirectory& d) : d_(d) { ++d_.openConnections; }
        ~FakeConnection() override
        {
            if (d_.openSearches != 0)
                d_.searchOutlivedConnection = true;
            --d_.openConnections;
        }
        BindResult bind(bool allowSimpleBind) override
        {
            ++d_.binds;
            d_.simpleBindAllowed = allowSimpleBind;
            return d_.bindAccepted ? BindResult::Bound : d_.refusal;
        }
        std::unique_ptr<Search> searchPaged(const DirectoryQuery& query) override
        {
            d_.queries.push_back(query);
            if (!d_.searchStarts)
                return nullptr;
            return std::make_unique<FakeSearch>(d_);
        }

    private:
        FakeDirectory& d_;
    };
};

} // namespace rm
