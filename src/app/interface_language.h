#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace quillmark {

// The language the window speaks: English when the system's interface language is English,
// Italian (the language the texts are written in) otherwise. While it lives, Qt's own dialogs and
// menus speak it too and it is the default locale, by which file errors are described in it.
// The report text keeps its Italian keywords in every language: readers and saved files rely
// on them.
class InterfaceLanguage {
public:
    explicit InterfaceLanguage(const QLocale& system = QLocale::system());
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

private:
    void install(const QString& file, const QString& folder);

    QLocale m_previousDefault;
    std::vector<std::unique_ptr<QTranslator>> m_translators;
};

} // namespace quillmark
