#include "DayEditor.h"

#include "DiaryDb.h"
#include "SharedState.h"
#include "TempEdit.h"
#include "common/AppError.h"
#include "common/Conversions.h"
#include "common/Fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace nerina {

namespace {

// A column without a value has no text form, so it cannot go into a box.
const QString kNullMessage = QStringLiteral("Null の使い方が不正です。");

QString plainDecimal(double value)
{
    // 36.5 stays "36.5" and 0 is "0": no padding, no fixed decimals.
    return QLocale::c().toString(value, 'g', 15);
}

// The diary as the user wrote it. The document's plain-text form would also turn a
// no-break space into a plain one; only the line breaks are made plain here.
QString diaryText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

} // namespace

DayEditor::DayEditor(SharedState &state, Dialogs &dialogs, QWidget *window)
    : m_state(state), m_dialogs(dialogs), m_window(window)
{
    buildControls();

    // The temperature box's formatted display is not an edit; only its value counts.
    connect(TEMP_TEXT, &TempEdit::rawTextChanged, this, &DayEditor::markDirty);
    connect(CONDITION_TEXT, &QLineEdit::textChanged, this, &DayEditor::markDirty);
    m_conditionLimit = new TypingLimit(kConditionMaxLength, CONDITION_TEXT);
    connect(DIARY_TEXT, &QPlainTextEdit::textChanged, this, [this] {
        limitDiaryLength();
        markDirty();
    });
    connect(GUEST_CHK, &QCheckBox::toggled, this, &DayEditor::markDirty);
    connect(LOVE_CHK, &QCheckBox::toggled, this, &DayEditor::markDirty);

    // Enter walks from the temperature (checked on the way) to the condition and on to
    // the diary. returnPressed comes from within the box's own key handling, so the key
    // itself is neither swallowed nor changed.
    connect(TEMP_TEXT, &QLineEdit::returnPressed, this, [this] {
        if (CheckTemperature())
            CONDITION_TEXT->setFocus(Qt::OtherFocusReason);
    });
    connect(CONDITION_TEXT, &QLineEdit::returnPressed, this, [this] { DIARY_TEXT->setFocus(Qt::OtherFocusReason); });
    connect(DTPicker1, &QDateEdit::dateChanged, this, [this] { DTPicker1_Change(); });
    connect(REG_BTN, &QPushButton::clicked, this, [this] { REG_BTN_Click(); });
}

void DayEditor::buildControls()
{
    const QFont gothic = designFont(9);

    DTPicker1 = new QDateEdit(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setDisplayFormat(japaneseLongDateFormat());
    useJapaneseCalendar(DTPicker1);
    DTPicker1->setFont(gothic);
    DTPicker1->setToolTip(QStringLiteral("▼をｸﾘｯｸして日付を設定"));
    DTPicker1->setAccessibleName(QStringLiteral("日付"));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(flowerPicture());
    Picture1->setAlignment(Qt::AlignCenter);

    Frame3 = new QFrame(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setFrameShape(QFrame::StyledPanel);

    Label1 = new QLabel(QStringLiteral("体温"), Frame3);
    Label1->setObjectName(QStringLiteral("Label1"));
    TEMP_TEXT = new TempEdit(Frame3);
    TEMP_TEXT->setObjectName(QStringLiteral("TEMP_TEXT"));
    TEMP_TEXT->setToolTip(QStringLiteral("この日の体温を数字で入力"));
    TEMP_TEXT->setAccessibleName(QStringLiteral("体温"));
    TEMP_TEXT->setAlignment(Qt::AlignRight);
    TEMP_TEXT->setFixedWidth(QFontMetrics(TEMP_TEXT->font()).horizontalAdvance(QStringLiteral("000.000")) + 12);
    Label1->setBuddy(TEMP_TEXT);
    Label2 = new QLabel(QStringLiteral("℃"), Frame3);
    Label2->setObjectName(QStringLiteral("Label2"));

    Frame1 = new QFrame(Frame3);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    GUEST_CHK = new QCheckBox(QStringLiteral("月経"), Frame1);
    GUEST_CHK->setObjectName(QStringLiteral("GUEST_CHK"));
    GUEST_CHK->setToolTip(QStringLiteral("この日に月経があればﾁｪｯｸ"));
    LOVE_CHK = new QCheckBox(QStringLiteral("SEX"), Frame1);
    LOVE_CHK->setObjectName(QStringLiteral("LOVE_CHK"));
    LOVE_CHK->setToolTip(QStringLiteral("この日にSEXをしたらチェック"));
    auto *checks = new QHBoxLayout(Frame1);
    checks->setContentsMargins(0, 0, 0, 0);
    checks->addWidget(GUEST_CHK);
    checks->addWidget(LOVE_CHK);

    Label5_0 = new QLabel(QStringLiteral("体調"), Frame3);
    Label5_0->setObjectName(QStringLiteral("Label5_0"));
    CONDITION_TEXT = new QLineEdit(Frame3);
    CONDITION_TEXT->setObjectName(QStringLiteral("CONDITION_TEXT"));
    CONDITION_TEXT->setFont(gothic);
    CONDITION_TEXT->setToolTip(QStringLiteral("この日の体調を記録"));
    CONDITION_TEXT->setAccessibleName(QStringLiteral("体調"));
    Label5_0->setBuddy(CONDITION_TEXT);

    Label5_1 = new QLabel(QStringLiteral("ひとこと日記"), Frame3);
    Label5_1->setObjectName(QStringLiteral("Label5_1"));
    DIARY_TEXT = new QPlainTextEdit(Frame3);
    DIARY_TEXT->setObjectName(QStringLiteral("DIARY_TEXT"));
    DIARY_TEXT->setToolTip(QStringLiteral("日記を書きましょう"));
    DIARY_TEXT->setAccessibleName(QStringLiteral("ひとこと日記"));
    DIARY_TEXT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DIARY_TEXT->setTabChangesFocus(true);
    Label5_1->setBuddy(DIARY_TEXT);

    auto *form = new QGridLayout(Frame3);
    form->addWidget(Label1, 0, 0);
    auto *tempRow = new QHBoxLayout;
    tempRow->addWidget(TEMP_TEXT);
    tempRow->addWidget(Label2);
    tempRow->addSpacing(16);
    tempRow->addWidget(Frame1);
    tempRow->addStretch(1);
    form->addLayout(tempRow, 0, 1);
    form->addWidget(Label5_0, 1, 0);
    form->addWidget(CONDITION_TEXT, 1, 1);
    form->addWidget(Label5_1, 2, 0, 1, 2);
    form->addWidget(DIARY_TEXT, 3, 0, 1, 2);
    form->setRowStretch(3, 1);

    REG_BTN = new QPushButton(QStringLiteral("登録(&R)"), this);
    REG_BTN->setObjectName(QStringLiteral("REG_BTN"));
    REG_BTN->setToolTip(QStringLiteral("この日のﾃﾞｰﾀを登録"));
    SET_BTN = new QPushButton(QStringLiteral("設定(&S)"), this);
    SET_BTN->setObjectName(QStringLiteral("SET_BTN"));
    SET_BTN->setToolTip(QStringLiteral("月経周期の設定"));

    auto *top = new QHBoxLayout;
    top->addWidget(Picture1);
    auto *dateColumn = new QVBoxLayout;
    dateColumn->addStretch(1);
    dateColumn->addWidget(DTPicker1);
    top->addLayout(dateColumn, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(REG_BTN);
    buttons->addWidget(SET_BTN);

    buildSignControls();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Frame3, 1);
    layout->addLayout(buttons);
    layout->addWidget(Frame4);

    setTabOrder(DTPicker1, TEMP_TEXT);
    setTabOrder(TEMP_TEXT, GUEST_CHK);
    setTabOrder(GUEST_CHK, LOVE_CHK);
    setTabOrder(LOVE_CHK, CONDITION_TEXT);
    setTabOrder(CONDITION_TEXT, DIARY_TEXT);
    setTabOrder(DIARY_TEXT, REG_BTN);
    setTabOrder(REG_BTN, SET_BTN);
    setTabOrder(SET_BTN, EXCLUDE_CHK);
    setTabOrder(EXCLUDE_CHK, EXCLUDE_REASON_CMB);
    setTabOrder(EXCLUDE_REASON_CMB, BLEEDING_CMB);
    setTabOrder(BLEEDING_CMB, SPOTTING_CHK);
    setTabOrder(SPOTTING_CHK, LH_CMB);
    setTabOrder(LH_CMB, PREGNANCY_CMB);
    setTabOrder(PREGNANCY_CMB, MUCUS_CMB);
    setTabOrder(MUCUS_CMB, MEDICATION_TEXT);
}

// Combo boxes whose first, empty entry means "not recorded": a morning entry is Tab and an
// arrow key or two, and every sign she did not notice stays empty.
void DayEditor::buildSignControls()
{
    Frame4 = new QFrame(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Frame4->setFrameShape(QFrame::StyledPanel);

    auto label = [this](const char *name, const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, Frame4);
        l->setObjectName(QLatin1String(name));
        l->setBuddy(buddy);
        return l;
    };
    auto choices = [this](const char *name, const QString &accessible, const QString &hint,
                          const QList<std::pair<QString, int>> &items) {
        auto *box = new QComboBox(Frame4);
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(accessible);
        box->setToolTip(hint);
        box->addItem(QString());
        for (const auto &[text, code] : items)
            box->addItem(text, code);
        connect(box, &QComboBox::currentIndexChanged, this, &DayEditor::markDirty);
        return box;
    };
    auto check = [this](const char *name, const QString &text, const QString &hint) {
        auto *box = new QCheckBox(text, Frame4);
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(text);
        box->setToolTip(hint);
        connect(box, &QCheckBox::toggled, this, &DayEditor::markDirty);
        return box;
    };

    EXCLUDE_CHK = check("EXCLUDE_CHK", QStringLiteral("除外"),
                        QStringLiteral("発熱・寝不足などで体温が乱れた日はﾁｪｯｸ（周期の判定に使いません）"));
    EXCLUDE_REASON_CMB = new QComboBox(Frame4);
    EXCLUDE_REASON_CMB->setObjectName(QStringLiteral("EXCLUDE_REASON_CMB"));
    EXCLUDE_REASON_CMB->setAccessibleName(QStringLiteral("除外の理由"));
    EXCLUDE_REASON_CMB->setToolTip(QStringLiteral("体温が乱れた理由を選ぶか入力"));
    EXCLUDE_REASON_CMB->setEditable(true);
    EXCLUDE_REASON_CMB->setInsertPolicy(QComboBox::NoInsert); // her own words stay hers, not offered again
    EXCLUDE_REASON_CMB->addItems(excludeReasons());
    EXCLUDE_REASON_CMB->setCurrentIndex(-1);
    EXCLUDE_REASON_CMB->lineEdit()->setPlaceholderText(QStringLiteral("理由"));
    EXCLUDE_REASON_CMB->lineEdit()->setAccessibleName(EXCLUDE_REASON_CMB->accessibleName()); // where she types
    EXCLUDE_REASON_CMB->setEnabled(false);
    connect(EXCLUDE_REASON_CMB, &QComboBox::editTextChanged, this, &DayEditor::markDirty);
    connect(EXCLUDE_CHK, &QCheckBox::toggled, EXCLUDE_REASON_CMB, &QWidget::setEnabled);

    const auto bleeding = [](Bleeding b) { return std::pair {signText(b), int(b)}; };
    BLEEDING_CMB = choices("BLEEDING_CMB", QStringLiteral("経血量"), QStringLiteral("月経の出血の量"),
                           {bleeding(Bleeding::Light), bleeding(Bleeding::Normal), bleeding(Bleeding::Heavy)});
    SPOTTING_CHK = check("SPOTTING_CHK", QStringLiteral("不正出血"), QStringLiteral("月経以外の出血があればﾁｪｯｸ"));

    QList<std::pair<QString, int>> mucus;
    for (Mucus m : {Mucus::Dry, Mucus::Nothing, Mucus::Moist, Mucus::Creamy, Mucus::Slippery})
        mucus.append({signText(m), int(m)});
    MUCUS_CMB = choices("MUCUS_CMB", QStringLiteral("おりもの"), QStringLiteral("この日に感じたおりものの様子"), mucus);

    const QList<std::pair<QString, int>> results {{signText(TestResult::Negative), int(TestResult::Negative)},
                                                  {signText(TestResult::Positive), int(TestResult::Positive)}};
    LH_CMB = choices("LH_CMB", QStringLiteral("排卵検査薬"), QStringLiteral("排卵検査薬の結果"), results);
    PREGNANCY_CMB = choices("PREGNANCY_CMB", QStringLiteral("妊娠検査薬"), QStringLiteral("妊娠検査薬の結果"), results);

    MEDICATION_TEXT = new QLineEdit(Frame4);
    MEDICATION_TEXT->setObjectName(QStringLiteral("MEDICATION_TEXT"));
    MEDICATION_TEXT->setFont(designFont(9));
    MEDICATION_TEXT->setAccessibleName(QStringLiteral("くすり"));
    MEDICATION_TEXT->setToolTip(QStringLiteral("この日に飲んだくすり"));
    connect(MEDICATION_TEXT, &QLineEdit::textChanged, this, &DayEditor::markDirty);

    auto *first = new QHBoxLayout;
    first->addWidget(EXCLUDE_CHK);
    first->addWidget(EXCLUDE_REASON_CMB);
    first->addSpacing(12);
    first->addWidget(label("Label6", QStringLiteral("経血量"), BLEEDING_CMB));
    first->addWidget(BLEEDING_CMB);
    first->addWidget(SPOTTING_CHK);
    first->addSpacing(12);
    first->addWidget(label("Label7", QStringLiteral("排卵検査薬"), LH_CMB));
    first->addWidget(LH_CMB);
    first->addWidget(label("Label8", QStringLiteral("妊娠検査薬"), PREGNANCY_CMB));
    first->addWidget(PREGNANCY_CMB);
    first->addStretch(1);
    auto *second = new QHBoxLayout;
    second->addWidget(label("Label9", QStringLiteral("おりもの"), MUCUS_CMB));
    second->addWidget(MUCUS_CMB);
    second->addSpacing(12);
    second->addWidget(label("Label10", QStringLiteral("くすり"), MEDICATION_TEXT));
    second->addWidget(MEDICATION_TEXT, 1);
    auto *rows = new QVBoxLayout(Frame4);
    rows->addLayout(first);
    rows->addLayout(second);
}

int DayEditor::signsHeight() const
{
    Frame4->ensurePolished();
    return Frame4->sizeHint().height() + layout()->spacing();
}

void DayEditor::markDirty() { m_state.G_DIRTY = true; }

void DayEditor::limitDiaryLength()
{
    // What the user types or pastes beyond the limit is cut off where it went in. A text
    // loaded from the diary is shown whole, so that loading never loses anything, and one
    // longer than the limit can be shortened but not lengthened.
    QPlainTextEdit *box = DIARY_TEXT;
    const int length = box->document()->characterCount() - 1;
    const int allowed = std::max(kDiaryMaxLength, m_diaryLength);
    if (m_loading || length <= allowed) {
        m_diaryLength = length;
        return;
    }
    const auto [start, stop]
        = TypingLimit::cutRange(box->document()->toRawText(), box->textCursor().position(), length - allowed);
    QTextCursor cut(box->document());
    cut.setPosition(int(start));
    cut.setPosition(int(stop), QTextCursor::KeepAnchor);
    cut.removeSelectedText(); // runs this handler again, then within the limit
}

Dialogs::Answer DayEditor::askToSave()
{
    return m_dialogs.question(m_window, QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？"),
                              QStringLiteral("保存確認"));
}

void DayEditor::DTPicker1_Change()
{
    if (!m_state.G_READY)
        return;
    trapped(m_dialogs, m_window, [this] {
        if (m_state.G_DIRTY && askToSave() == Dialogs::Answer::Yes && registerDay() == SaveOutcome::Failed) {
            // The edits could not be kept: stay on the day being left, so that they
            // are not thrown away by loading the new day.
            const QSignalBlocker blocker(DTPicker1);
            DTPicker1->setDate(m_state.G_SEL_DATE);
            return;
        }
        m_state.G_SEL_DATE = DTPicker1->date();
        LoadDayRecord();
        // The load's writes into the controls count as edits; they are not.
        m_state.G_DIRTY = false;
    });
}

void DayEditor::REG_BTN_Click() { registerDay(); }

SaveOutcome DayEditor::registerDay()
{
    const SaveOutcome outcome = SaveDayRecord();
    emit registered();
    return outcome;
}

void DayEditor::LoadDayRecord()
{
    const QScopedValueRollback loading(m_loading, true);
    m_loaded.reset();
    trapped(m_dialogs, m_window, [this] {
        // Cleared first: a day that cannot be read must not show the signs of the day before.
        showSigns(DaySigns {});
        const std::optional<DayRecord> row = m_state.db().findDay(m_state.G_SEL_DATE);
        if (row && row->SIGNS)
            showSigns(*row->SIGNS);
        if (!row) {
            TEMP_TEXT->setRawText(QString());
            m_conditionLimit->setWholeText(QString());
            DIARY_TEXT->setPlainText(QString());
            LOVE_CHK->setChecked(false);
            GUEST_CHK->setChecked(false);
            return;
        }
        // Every text is shown whole, however long: the limits are for typing. Another
        // tool's text in TEMP is shown as it is stored.
        if (row->storedTemp.isValid())
            TEMP_TEXT->setRawText(row->storedTemp.toString());
        else if (!row->TEMP)
            throw AppError(kNullMessage);
        else
            TEMP_TEXT->setRawText(plainDecimal(*row->TEMP));
        if (!row->CONDITION)
            throw AppError(kNullMessage);
        m_conditionLimit->setWholeText(*row->CONDITION);
        if (!row->DIARY)
            throw AppError(kNullMessage);
        DIARY_TEXT->setPlainText(*row->DIARY);
        LOVE_CHK->setChecked(row->LOVE);
        GUEST_CHK->setChecked(row->GUEST);
        m_loaded
            = Loaded {*row, TEMP_TEXT->rawText(), CONDITION_TEXT->text(), diaryText(DIARY_TEXT), signsFromControls()};
    });
}

DayRecord DayEditor::recordFromControls() const
{
    const QDate day = m_state.G_SEL_DATE;
    const Loaded *loaded = m_loaded && m_loaded->row.DAT_DATE == day ? &*m_loaded : nullptr;

    DayRecord record;
    record.DAT_DATE = day;
    // Saved over the row that was loaded, not another row of the same day.
    record.rowId = loaded ? loaded->row.rowId : std::nullopt;
    // Stored as typed, unchecked: only a text that is no number at all is refused.
    const QString temp = TEMP_TEXT->rawText();
    if (loaded && temp == loaded->temp) {
        record.TEMP = loaded->row.TEMP;
        record.storedTemp = loaded->row.storedTemp;
    } else {
        record.TEMP = temp.isEmpty() ? 0.0 : numericValue(temp);
    }
    const QString condition = CONDITION_TEXT->text();
    record.CONDITION = loaded && condition == loaded->condition ? loaded->row.CONDITION : condition;
    const QString diary = diaryText(DIARY_TEXT);
    record.DIARY = loaded && diary == loaded->diary ? loaded->row.DIARY : diary;
    record.LOVE = LOVE_CHK->isChecked();
    record.GUEST = GUEST_CHK->isChecked();

    // Each sign she left as the load showed it goes back as stored.
    const DaySigns now = signsFromControls();
    if (!loaded) {
        record.SIGNS = now;
        return record;
    }
    const DaySigns &shown = loaded->signs;
    DaySigns signs = loaded->row.SIGNS.value_or(DaySigns {});
    const auto takeEdit = [&](auto DaySigns::*field) {
        if (now.*field != shown.*field)
            signs.*field = now.*field;
    };
    takeEdit(&DaySigns::excluded);
    takeEdit(&DaySigns::excludeReason);
    takeEdit(&DaySigns::bleeding);
    takeEdit(&DaySigns::spotting);
    takeEdit(&DaySigns::mucus);
    takeEdit(&DaySigns::lhTest);
    takeEdit(&DaySigns::pregnancyTest);
    takeEdit(&DaySigns::medication);
    record.SIGNS = signs;
    return record;
}

void DayEditor::showSigns(const DaySigns &signs)
{
    const auto select = [](QComboBox *box, auto kind) {
        // A code the box does not offer shows as not recorded.
        box->setCurrentIndex(kind ? std::max(0, box->findData(int(*kind))) : 0);
    };
    EXCLUDE_CHK->setChecked(signs.excluded);
    EXCLUDE_REASON_CMB->setEditText(signs.excludeReason);
    select(BLEEDING_CMB, signs.bleeding);
    SPOTTING_CHK->setChecked(signs.spotting);
    select(MUCUS_CMB, signs.mucus);
    select(LH_CMB, signs.lhTest);
    select(PREGNANCY_CMB, signs.pregnancyTest);
    MEDICATION_TEXT->setText(signs.medication);
}

DaySigns DayEditor::signsFromControls() const
{
    const auto take = [](const QComboBox *box, auto *kind) {
        const QVariant code = box->currentData();
        if (code.isValid())
            *kind = std::decay_t<decltype(**kind)>(code.toInt());
    };
    DaySigns signs;
    signs.excluded = EXCLUDE_CHK->isChecked();
    if (signs.excluded)
        signs.excludeReason = EXCLUDE_REASON_CMB->currentText();
    take(BLEEDING_CMB, &signs.bleeding);
    signs.spotting = SPOTTING_CHK->isChecked();
    take(MUCUS_CMB, &signs.mucus);
    take(LH_CMB, &signs.lhTest);
    take(PREGNANCY_CMB, &signs.pregnancyTest);
    signs.medication = MEDICATION_TEXT->text();
    return signs;
}

SaveOutcome DayEditor::SaveDayRecord()
{
    const auto overwrite = [this] {
        return m_dialogs.question(m_window, QStringLiteral("上書きしますか？"), QStringLiteral("Nerina's Checker"))
               == Dialogs::Answer::Yes;
    };
    SaveOutcome outcome = SaveOutcome::Failed;
    trapped(m_dialogs, m_window, [&] {
        DiaryDb &db = m_state.db();
        bool covered = false;
        if (db.hasDay(m_state.G_SEL_DATE)) {
            if (!overwrite()) {
                outcome = SaveOutcome::Declined;
                return;
            }
            covered = true;
        }
        // Built after the question: a text that is no number fails the save, but a No
        // to the question comes first and keeps the day as it is.
        const DayRecord record = recordFromControls();
        // The write looks again inside its own transaction: a row that another program
        // wrote since is not replaced without the question.
        if (!db.saveDay(record, covered ? DiaryDb::Existing::Replace : DiaryDb::Existing::Keep)) {
            if (!overwrite()) {
                outcome = SaveOutcome::Declined;
                return;
            }
            db.saveDay(record, DiaryDb::Existing::Replace);
        }
        m_state.G_DIRTY = false;
        outcome = SaveOutcome::Stored;
    });
    return outcome;
}

bool DayEditor::CheckTemperature()
{
    const QString title = QStringLiteral("エラー！");
    const QString text = TEMP_TEXT->rawText();
    QString problem;
    if (!isNumeric(text))
        problem = QStringLiteral("数値を入力して下さい！");
    else if (const double t = numericValue(text); t < 34.00 || t > 43)
        problem = QStringLiteral("34.00℃～43℃の間で入力して下さい。");
    if (problem.isEmpty())
        return true;
    m_dialogs.message(m_window, problem, Dialogs::Icon::Critical, Dialogs::Buttons::Ok, title);
    TEMP_TEXT->setFocus(Qt::OtherFocusReason);
    return false;
}

} // namespace nerina
