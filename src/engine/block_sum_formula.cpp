#include "engine/block_sum_formula.h"

namespace engine {

namespace {

QString chain(const QString& column, long firstRow, long stride, long count) {
    QString text = QStringLiteral("=");
    for (long k = 0; k < count && text.size() <= kLongestFormula; ++k) {
        if (k > 0)
            text += u'+';
        text += column + QString::number(firstRow + k * stride);
    }
    return text;
}

QString strideSum(const QString& column, long firstRow, long stride, long count) {
    const QString block = column + QString::number(firstRow) + u':' + column +
                          QString::number(firstRow + (count - 1) * stride);
    return QStringLiteral("=SUMPRODUCT(--(MOD(ROW(%1)-%2,%3)=0),%1)")
        .arg(block)
        .arg(firstRow)
        .arg(stride);
}

} // namespace

QString blockSumFormula(const QString& column, long firstRow, long stride, long count) {
    QString text = chain(column, firstRow, stride, count);
    if (text.size() <= kLongestFormula)
        return text;
    return strideSum(column, firstRow, stride, count);
}

} // namespace engine
