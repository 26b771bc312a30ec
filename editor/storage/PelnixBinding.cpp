#include "storage/PelnixBinding.h"

#include "rom/ProgramFolder.h"

#include <dlfcn.h>

namespace quarnel {

PelnixBinding::PelnixBinding(std::vector<std::filesystem::path> searchFolders)
    : m_searchFolders(std::move(searchFolders)) {}

PelnixBinding::~PelnixBinding() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
    }
}

std::vector<std::filesystem::path> PelnixBinding::DefaultSearchFolders() {
    const auto folder = ProgramFolder();
    return {folder, folder.parent_path() / "lib"};
}

Result<RLCompFunction, Error> PelnixBinding::RLComp() {
    if (m_rlComp != nullptr) {
        return m_rlComp;
    }
    std::string tried;
    for (const auto& folder : m_searchFolders) {
        const auto path = folder / kLibraryName;
        if (!tried.empty()) {
            tried += ", ";
        }
        tried += path.string();
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* reason = dlerror();
            return Fail(Error{ErrorKind::LibraryMissing,
                              path.string() + " cannot be loaded: " + (reason ? reason : "?"),
                              std::nullopt});
        }
        void* symbol = dlsym(handle, "RLComp");
        if (symbol == nullptr) {
            dlclose(handle);
            return Fail(
                Error{ErrorKind::LibraryMissing, path.string() + " has no RLComp", std::nullopt});
        }
        m_handle = handle;
        m_rlComp = reinterpret_cast<RLCompFunction>(symbol);
        m_loadedPath = path;
        return m_rlComp;
    }
    return Fail(Error{ErrorKind::LibraryMissing, tried.empty() ? "no folder to search" : tried,
                      std::nullopt});
}

PelnixBinding& DefaultPelnix() {
    static PelnixBinding binding(PelnixBinding::DefaultSearchFolders());
    return binding;
}

} // namespace quarnel
