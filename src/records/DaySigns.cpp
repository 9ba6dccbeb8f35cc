#include "DaySigns.h"

namespace nerina {

QStringList excludeReasons()
{
    return {QStringLiteral("発熱"), QStringLiteral("寝不足"), QStringLiteral("飲酒"), QStringLiteral("測定時刻のずれ")};
}

QString signText(Bleeding bleeding)
{
    switch (bleeding) {
    case Bleeding::Light: return QStringLiteral("少ない");
    case Bleeding::Normal: return QStringLiteral("普通");
    case Bleeding::Heavy: return QStringLiteral("多い");
    }
    return QString();
}

QString signText(Mucus mucus)
{
    // In the words she would use of what she feels and sees, least fertile first.
    switch (mucus) {
    case Mucus::Dry: return QStringLiteral("乾いている（かさかさ・かゆい）");
    case Mucus::Nothing: return QStringLiteral("何も感じない・何もない");
    case Mucus::Moist: return QStringLiteral("湿っている（見た目には何もない）");
    case Mucus::Creamy: return QStringLiteral("白くにごってねばる（クリーム状）");
    case Mucus::Slippery: return QStringLiteral("透明でよく伸びる（卵の白身のよう）");
    }
    return QString();
}

QString signText(TestResult result)
{
    return result == TestResult::Positive ? QStringLiteral("陽性") : QStringLiteral("陰性");
}

} // namespace nerina
