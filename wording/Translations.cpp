#include "wording/Translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace foldwise {

void installTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance()); // lives as long as the application
    if (!translator->load(QStringLiteral(":/i18n/foldwise_en.qm"))) {
        qFatal("the wording's translations are missing from the resources");
    }
    QCoreApplication::installTranslator(translator);
}

} // namespace foldwise
