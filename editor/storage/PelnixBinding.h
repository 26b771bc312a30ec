#pragma once
// The run-time binding of Pelnix's RLComp, the one library function the editor uses.
//
// The library is loaded by path on the first call, from the first search folder that holds
// libpelnix.so (by default: the program's own folder, then ../lib beside it). A missing
// library or symbol is an error value naming every path tried; nothing is loaded from the
// system's library path, so the editor always runs with the library it shipped with.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/LayerCodec.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel {

class PelnixBinding {
public:
    static constexpr const char* kLibraryName = "libpelnix.so";

    explicit PelnixBinding(std::vector<std::filesystem::path> searchFolders);
    ~PelnixBinding();
    PelnixBinding(const PelnixBinding&) = delete;
    PelnixBinding& operator=(const PelnixBinding&) = delete;

    // The program's folder, then its ../lib.
    static std::vector<std::filesystem::path> DefaultSearchFolders();

    // The resolved RLComp; loads the library on the first call. A failure is remembered
    // only until the next call, so a library put in place later is found then.
    Result<RLCompFunction, Error> RLComp();

    // The path of the loaded library; empty before a successful load.
    const std::filesystem::path& LoadedPath() const { return m_loadedPath; }

private:
    std::vector<std::filesystem::path> m_searchFolders;
    void* m_handle = nullptr;
    RLCompFunction m_rlComp = nullptr;
    std::filesystem::path m_loadedPath;
};

// The process-wide binding with the default search folders.
PelnixBinding& DefaultPelnix();

} // namespace quarnel
