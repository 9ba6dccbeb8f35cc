// The temperature box: its formatted display of any text loses nothing; a real box keeps
// whatever the program sets whole (but for lone surrogate halves), and what is inserted or
// pasted never makes it hold more than 5 units nor half a character.
#include "FuzzText.h"
#include "common/AppError.h"
#include "common/Conversions.h"
#include "records/TempEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>

#include <cstdlib>

using namespace nerina;

namespace {

TempEdit *box = nullptr;

void checkDisplay(const QString &raw)
{
    const QString shown = TempEdit::displayText(raw);
    double value = 0;
    try {
        value = numericValue(raw);
    } catch (const AppError &) {
        if (shown != raw)
            fuzz::broken("a text that is no number, or beyond a double, is not shown as it is", raw);
        return;
    }
    static const QRegularExpression twoDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{2}$"));
    if (shown == raw)
        return; // shown as it is: nothing lost
    if (!twoDecimals.match(shown).hasMatch())
        fuzz::broken("a number is shown neither as it is nor with two decimals", raw);
    if (numericValue(shown) != value)
        fuzz::broken("the two-decimal form is not exactly the value", raw);
    if (TempEdit::displayText(shown) != shown)
        fuzz::broken("the formatted form does not format to itself", raw);
}

void checkBox(const char *how, const QString &raw)
{
    const QString held = box->rawText();
    if (held.size() > TempEdit::kMaxLength || !fuzz::wholeCharacters(held))
        fuzz::broken(how, raw);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv); // lives as long as the fuzzer
    box = new TempEdit;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString raw = fuzz::textFrom(data, size);
    checkDisplay(raw);

    box->setRawText(raw);
    if (box->rawText() != fuzz::withoutLoneHalves(raw))
        fuzz::broken("setRawText did not keep the text whole", raw);
    if (box->text() != TempEdit::displayText(box->rawText()))
        fuzz::broken("the unfocused box does not show the formatted value", raw);

    box->setRawText(QString());
    box->insert(raw);
    checkBox("inserting left too much or half a character", raw);

    box->setRawText(QStringLiteral("36.5"));
    QApplication::clipboard()->setText(raw);
    box->paste();
    checkBox("pasting left too much or half a character", raw);
    return 0;
}
