#pragma once
// Dialogs whose answers a test scripts in advance. Every message, question and prompt shown
// is recorded, so a test can check the exact texts; an unscripted question fails the test
// instead of waiting.

#include "main/Dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quarnel::testing {

class ScriptedDialogs : public Dialogs {
public:
    void Message(const std::string& text) override;
    bool Ask(const std::string& question) override;
    std::optional<std::string> InputBox(const std::string& prompt) override;
    std::optional<std::filesystem::path> OpenFile(const std::string& title,
                                                  const std::string& filter) override;
    std::optional<std::filesystem::path> SaveFile(const std::string& title,
                                                  const std::string& filter) override;
    std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                      const std::filesystem::path& start) override;

    // Answers, used in order; nothing scripted means Cancel (or No).
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> inputs;
    std::deque<std::optional<std::filesystem::path>> files;
    std::deque<std::optional<std::filesystem::path>> folders;

    // What was shown, in order.
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> prompts;
    std::vector<std::string> fileDialogs;   // "title|filter"
    std::vector<std::string> folderDialogs; // "title|start"
    int unscripted = 0;                     // dialogs shown with no answer left
};

} // namespace quarnel::testing
