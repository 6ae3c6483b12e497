#include "ui/JsonVariant.h"

#include <QJSValue>
#include <QVariantList>
#include <QVariantMap>

namespace twig {

QVariant toVariant(const Json& value) {
  switch (value.type()) {
    case Json::value_t::object: {
      QVariantMap map;
      for (auto it = value.begin(); it != value.end(); ++it)
        map.insert(QString::fromStdString(it.key()), toVariant(*it));
      return map;
    }
    case Json::value_t::array: {
      QVariantList list;
      list.reserve(static_cast<qsizetype>(value.size()));
      for (const auto& element : value) list.push_back(toVariant(element));
      return list;
    }
    case Json::value_t::string:
      return QString::fromUtf8(value.get_ref<const std::string&>());
    case Json::value_t::boolean:
      return value.get<bool>();
    case Json::value_t::number_integer:
      return QVariant::fromValue(value.get<qint64>());
    case Json::value_t::number_unsigned:
      return QVariant::fromValue(value.get<quint64>());
    case Json::value_t::number_float:
      return value.get<double>();
    default:
      return {};
  }
}

Json toJson(const QVariant& input) {
  QVariant value = input;
  if (value.canConvert<QJSValue>() && value.typeId() == qMetaTypeId<QJSValue>())
    value = value.value<QJSValue>().toVariant();
  switch (value.typeId()) {
    case QMetaType::QVariantMap: {
      Json object = Json::object();
      const QVariantMap map = value.toMap();
      for (auto it = map.begin(); it != map.end(); ++it) object[it.key().toStdString()] = toJson(it.value());
      return object;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
      Json array = Json::array();
      for (const auto& element : value.toList()) array.push_back(toJson(element));
      return array;
    }
    case QMetaType::QString:
      return value.toString().toStdString();
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
      return value.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULongLong:
      return value.toULongLong();
    case QMetaType::Double:
    case QMetaType::Float: {
      // QML numbers are doubles: whole ones go back as integers, as the view models expect.
      const double number = value.toDouble();
      if (number == static_cast<double>(static_cast<long long>(number)) && number > -9e15 && number < 9e15)
        return static_cast<long long>(number);
      return number;
    }
    default:
      return nullptr;
  }
}

}  // namespace twig
