#include "ScriptedDialogs.h"

namespace quarnel::testing {

namespace {

template <class T>
std::optional<T> Next(std::deque<std::optional<T>>& queue, int& unscripted) {
    if (queue.empty()) {
        ++unscripted;
        return std::nullopt;
    }
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

} // namespace

void ScriptedDialogs::Message(const std::string& text) {
    messages.push_back(text);
}

bool ScriptedDialogs::Ask(const std::string& question) {
    questions.push_back(question);
    if (answers.empty()) {
        ++unscripted;
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::InputBox(const std::string& prompt) {
    prompts.push_back(prompt);
    return Next(inputs, unscripted);
}

std::optional<std::filesystem::path> ScriptedDialogs::OpenFile(const std::string& title,
                                                               const std::string& filter) {
    fileDialogs.push_back(title + "|" + filter);
    return Next(files, unscripted);
}

std::optional<std::filesystem::path> ScriptedDialogs::SaveFile(const std::string& title,
                                                               const std::string& filter) {
    fileDialogs.push_back(title + "|" + filter);
    return Next(files, unscripted);
}

std::optional<std::filesystem::path>
ScriptedDialogs::ChooseFolder(const std::string& title, const std::filesystem::path& start) {
    folderDialogs.push_back(title + "|" + start.string());
    return Next(folders, unscripted);
}

} // namespace quarnel::testing
