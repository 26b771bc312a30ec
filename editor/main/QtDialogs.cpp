#include "main/QtDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace quarnel {

namespace {

QString Title() {
    return QStringLiteral("Quarnel");
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::optional<std::filesystem::path> ToPath(const QString& fileName) {
    if (fileName.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

} // namespace

void QtDialogs::Message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, Title(), FromStd(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::Ask(const std::string& question) {
    QMessageBox box(QMessageBox::Question, Title(), FromStd(question),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::InputBox(const std::string& prompt) {
    bool accepted = false;
    const QString text = QInputDialog::getText(m_parent, Title(), FromStd(prompt),
                                               QLineEdit::Normal, QString(), &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return text.toStdString();
}

std::optional<std::filesystem::path> QtDialogs::OpenFile(const std::string& title,
                                                         const std::string& filter) {
    return ToPath(
        QFileDialog::getOpenFileName(m_parent, FromStd(title), QString(), QtFilter(filter)));
}

std::optional<std::filesystem::path> QtDialogs::SaveFile(const std::string& title,
                                                         const std::string& filter) {
    return ToPath(
        QFileDialog::getSaveFileName(m_parent, FromStd(title), QString(), QtFilter(filter)));
}

std::optional<std::filesystem::path> QtDialogs::ChooseFolder(const std::string& title,
                                                             const std::filesystem::path& start) {
    return ToPath(
        QFileDialog::getExistingDirectory(m_parent, FromStd(title), FromStd(start.string())));
}

QString QtDialogs::QtFilter(const std::string& filter) {
    const QStringList parts = FromStd(filter).split(QLatin1Char('|'));
    static const QRegularExpression kPatternSeparators(QStringLiteral("[;\\s]+"));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            const QStringList given = parts[i + 1].split(kPatternSeparators, Qt::SkipEmptyParts);
            for (const QString& pattern : given) {
                for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
                    if (!patterns.contains(variant)) {
                        patterns.append(variant);
                    }
                }
            }
        }
        if (description.isEmpty() && patterns.isEmpty()) {
            continue;
        }
        if (patterns.isEmpty()) {
            patterns.append(QStringLiteral("*"));
        }
        entries.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace quarnel
