#include "carvelle/support/CTestEnvironment.h"

QProcessEnvironment CTestEnvironment::ProcessEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, folder] : m_Home.Variables())
        environment.insert(QString::fromStdString(name), QString::fromStdString(folder));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}
