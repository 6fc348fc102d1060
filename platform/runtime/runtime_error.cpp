#include "platform/runtime/runtime_error.h"

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toUtf8())
{
}

RuntimeError RuntimeError::invalidProcedureCall(const QString &description)
{
    return RuntimeError(InvalidProcedureCall, description);
}

RuntimeError RuntimeError::overflow()
{
    return RuntimeError(Overflow, QStringLiteral("オーバーフローしました。"));
}

RuntimeError RuntimeError::outOfMemory()
{
    return RuntimeError(OutOfMemory, QStringLiteral("メモリが不足しています。"));
}

RuntimeError RuntimeError::pathFileAccess(const QString &description)
{
    return RuntimeError(PathFileAccessError, description);
}

RuntimeError RuntimeError::objectNotSet()
{
    return RuntimeError(ObjectNotSet,
                        QStringLiteral("オブジェクト変数または With ブロック変数が設定されていません。"));
}

RuntimeError RuntimeError::invalidPropertyValue()
{
    return RuntimeError(InvalidPropertyValue, QStringLiteral("プロパティの値が不正です。"));
}

RuntimeError RuntimeError::cannotCreateObject(const QString &description)
{
    return RuntimeError(CannotCreateObject,
                        description.isEmpty()
                            ? QStringLiteral("ActiveX コンポーネントはオブジェクトを作成できません。")
                            : description);
}

RuntimeError RuntimeError::cancelled()
{
    return RuntimeError(CancelError, QStringLiteral("[キャンセル] が選択されました。"));
}

RuntimeError RuntimeError::indexOutOfBounds()
{
    return RuntimeError(IndexOutOfBounds, QStringLiteral("インデックスが有効範囲にありません。"));
}

RuntimeError RuntimeError::controlRemoved()
{
    return RuntimeError(ControlRemoved, QStringLiteral("このコントロールは削除されています。"));
}
