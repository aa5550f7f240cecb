// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/scriptvalue_p.h"

#include "common/narrowcodec.h"

#include <QDateTime>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

QString formatDateTime(const QDateTime &time)
{
    if (!time.isValid())
        return QStringLiteral("Invalid DateTime");
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QString FormatScriptValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return {};
    case QMetaType::Short:
    case QMetaType::UShort:
        return QString::number(value.toInt());
    // Wider numbers keep their low 32 bits, read as signed.
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(qint32(quint32(value.toLongLong())));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(qint32(quint32(value.toULongLong())));
    case QMetaType::Float:
        return QString::asprintf("%.4f", double(value.toFloat()));
    case QMetaType::Double:
        return QString::asprintf("%.8f", value.toDouble());
    case QMetaType::QDateTime:
        return formatDateTime(value.toDateTime());
    case QMetaType::QDate:
        return formatDateTime(value.toDate().startOfDay());
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QByteArray:
        return FromNarrow(value.toByteArray());
    default:
        return QStringLiteral("UN_KNOW");
    }
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
