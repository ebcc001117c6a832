#include "app/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace quillmark {

namespace {

bool speaksEnglish(const QLocale& system)
{
    const QStringList languages = system.uiLanguages();
    const QString first = languages.isEmpty() ? system.name() : languages.first();
    return first.startsWith(QLatin1String("en"));
}

} // namespace

InterfaceLanguage::InterfaceLanguage(const QLocale& system)
{
    const bool english = speaksEnglish(system);
    const QLocale language(english ? QLocale::English : QLocale::Italian);
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    install(QLatin1String("qtbase_") + language.name().left(2), qtFolder);
    // The Italian catalogue holds the plural forms of the texts, which are written in Italian.
    install(english ? QStringLiteral("quillmark_en") : QStringLiteral("quillmark_it"),
            QStringLiteral(":/i18n"));
    QLocale::setDefault(language);
}

InterfaceLanguage::~InterfaceLanguage()
{
    for (const auto& translator : m_translators)
        QCoreApplication::removeTranslator(translator.get());
    QLocale::setDefault(m_previousDefault);
}

// A catalogue that is missing (Qt's are a separate package) leaves those texts as they are.
void InterfaceLanguage::install(const QString& file, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_translators.push_back(std::move(translator));
}

} // namespace quillmark
