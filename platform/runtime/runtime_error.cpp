#include "platform/runtime/runtime_error.h"

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toUtf8())
{
}

RuntimeError RuntimeError::overflow()
{
    return RuntimeError(Overflow, QStringLiteral("オーバーフローしました。"));
}

RuntimeError RuntimeError::cancelled()
{
    return RuntimeError(CancelError, QStringLiteral("[キャンセル] が選択されました。"));
}
