#pragma once
// The blocking services of the platform that the editor's logic needs: message boxes, the
// modal text input box and the file and folder dialogs. The windows call them only through this
// interface; the Qt implementation shows real dialogs, tests script the answers, so no test
// ever waits on a modal dialog.

#include <filesystem>
#include <optional>
#include <string>

namespace quarnel {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button and the title "Quarnel".
    virtual void Message(const std::string& text) = 0;

    // A Yes/No question with the title "Quarnel"; true for Yes.
    virtual bool Ask(const std::string& question) = 0;

    // A modal text input box with no default text; nothing when the user cancels.
    virtual std::optional<std::string> InputBox(const std::string& prompt) = 0;

    // File dialogs with a title and a filter such as "GBA roms| *.GBA"; nothing when the
    // user cancels.
    virtual std::optional<std::filesystem::path> OpenFile(const std::string& title,
                                                          const std::string& filter) = 0;
    virtual std::optional<std::filesystem::path> SaveFile(const std::string& title,
                                                          const std::string& filter) = 0;

    // A folder chooser with a title, opening at `start` (empty: anywhere); nothing when the
    // user cancels. Dialogs without one answer as a cancel would.
    virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                              const std::filesystem::path& start) {
        (void)title;
        (void)start;
        return std::nullopt;
    }
};

} // namespace quarnel
