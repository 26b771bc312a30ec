#pragma once
// The Dialogs of the editor shown with Qt: message boxes titled "Quarnel", the modal text
// input box and the native file dialogs. This is the one place that opens a Qt dialog; the
// windows reach it through the Dialogs interface.

#include "main/Dialogs.h"

#include <QString>

class QWidget;

namespace quarnel {

class QtDialogs : public Dialogs {
public:
    // The dialogs are centred on `parent` (none: on the screen); the parent must outlive them.
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    // The window the dialogs are centred on and modal to.
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Message(const std::string& text) override;
    bool Ask(const std::string& question) override;
    std::optional<std::string> InputBox(const std::string& prompt) override;
    std::optional<std::filesystem::path> OpenFile(const std::string& title,
                                                  const std::string& filter) override;
    std::optional<std::filesystem::path> SaveFile(const std::string& title,
                                                  const std::string& filter) override;
    std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                      const std::filesystem::path& start) override;

    // A filter of "description| patterns" pairs separated by '|' ("GBA roms| *.GBA",
    // "BMP Files| *.bmp|PNG Files| *.png") in Qt's form ("GBA roms (*.GBA *.gba)"). Every
    // pattern is listed in its own, lower and upper case, since file names on Linux are
    // case-sensitive. Patterns within a pair may be separated by ';' or blanks; an empty
    // filter gives an empty string (all files).
    static QString QtFilter(const std::string& filter);

private:
    QWidget* m_parent;
};

} // namespace quarnel
