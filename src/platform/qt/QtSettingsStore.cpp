#include "platform/qt/QtSettingsStore.h"

#include <QSettings>
#include <QString>

namespace tonewell {

namespace {

QString Key(std::string_view key) { return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())); }

}  // namespace

std::optional<std::string> QtSettingsStore::value(std::string_view key) const {
    const QVariant stored = QSettings().value(Key(key));
    if (!stored.isValid()) return std::nullopt;
    return stored.toString().toStdString();
}

void QtSettingsStore::setValue(std::string_view key, const std::string& text) {
    QSettings().setValue(Key(key), QString::fromStdString(text));
}

}  // namespace tonewell
