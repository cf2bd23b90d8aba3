#include "app/options/PrintScalePage.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <tuple>

#include "app/options/PagesDlg.h"
#include "app/options/RadioGroup.h"

namespace kalvex::app {

namespace {

using view::OptionsDraft;

// Image1: a sheet with the printed plot on it, and what each length measures.
class LayoutPicture : public QWidget {
public:
    explicit LayoutPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Image1"));
        setFixedSize(240, 175);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QFont f = font();
        f.setPixelSize(10);
        p.setFont(f);
        p.fillRect(rect(), Qt::white);
        p.setPen(Qt::gray);
        p.drawRect(0, 0, width() - 1, height() - 1);
        const QRect plot(70, 28, 140, 78);  // the spectrum
        const int axis = plot.bottom() + 10;
        const int bottom = axis + 24;
        p.setPen(Qt::black);
        p.drawRect(plot);
        p.drawLine(plot.left(), axis, plot.right(), axis);
        for (int x = plot.left(); x <= plot.right(); x += 20) p.drawLine(x, axis, x, axis + 4);
        p.setPen(Qt::blue);
        p.drawLine(0, 14, plot.left(), 14);
        p.drawText(4, 11, QStringLiteral("X margin"));
        p.drawLine(60, 0, 60, plot.top());
        p.drawText(4, 24, QStringLiteral("Y margin"));
        p.drawLine(60, plot.bottom(), 60, axis);
        p.drawText(4, plot.bottom() + 9, QStringLiteral("Spc margin"));
        p.drawLine(60, axis, 60, bottom);
        p.drawText(4, axis + 16, QStringLiteral("Axis Height"));
        p.drawLine(plot.left(), bottom + 14, plot.right(), bottom + 14);
        p.drawText(plot.left() + 35, bottom + 11, QStringLiteral("Spectrum width"));
        p.drawLine(222, plot.top(), 222, bottom);
        p.save();
        p.translate(228, plot.top() + 12);
        p.rotate(90);
        p.drawText(0, 0, QStringLiteral("Spectrum Height"));
        p.restore();
    }
};

void ShowText(QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
}

}  // namespace

QLineEdit* PrintScalePage::AddLength(PagesDlg& dialog, const char* name,
                                     std::string core::PrintLengthTexts::*text) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(70);
    connect(e, &QLineEdit::textEdited, this, [&dialog, text](const QString& t) {
        dialog.Edit([text, s = t.toStdString()](OptionsDraft& d) { d.Lengths.*text = s; });
    });
    lengths_.emplace_back(e, text);
    return e;
}

PrintScalePage::PrintScalePage(PagesDlg& dialog, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PrintScale"));
    using T = core::PrintLengthTexts;
    const std::tuple<const char*, const char*, std::string T::*> rows[] = {
        {"px_zero", "X margin", &T::px_zero},      {"px_Width", "Spectrum width", &T::px_Width},
        {"py_zero", "Y margin", &T::py_zero},      {"py_Height", "Spectrum Height", &T::py_Height},
        {"U_Height", "Axis Height", &T::U_Height}, {"Spc_Margin", "Spc margin", &T::Spc_Margin},
    };
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const auto& [name, label, text] : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        grid->addWidget(AddLength(dialog, name, text), row, 1);
        grid->addWidget(new QLabel(QStringLiteral("cm"), this), row, 2);
        ++row;
    }
    u_height_ = lengths_[4].first;
    spc_margin_ = lengths_[5].first;
    xm_ = new QLabel(this);
    xm_->setObjectName(QStringLiteral("Xm"));
    ym_ = new QLabel(this);
    ym_->setObjectName(QStringLiteral("Ym"));
    grid->addWidget(xm_, 1, 3);
    grid->addWidget(ym_, 3, 3);

    x_delta_ = new QLineEdit(this);
    x_delta_->setObjectName(QStringLiteral("x_delta"));
    x_delta_->setMaximumWidth(70);
    grid->addWidget(new QLabel(QStringLiteral("tic / CS Unit"), this), row, 0);
    grid->addWidget(x_delta_, row, 1);

    paper_ =
        new RadioGroup("Paper", QStringLiteral("Paper Size"), {"  Portrait", "  Landscape"}, this);
    scale_set_ =
        new RadioGroup("Scale_set", QStringLiteral("Scale Setting"), {"Auto", "Manual"}, this);
    auto* defaults = new QPushButton(QStringLiteral("Default"), this);
    defaults->setObjectName(QStringLiteral("PS_Default"));
    auto* calc = new QPushButton(QStringLiteral("Calc"), this);
    calc->setObjectName(QStringLiteral("Cal_Button"));
    for (QPushButton* b : {defaults, calc}) b->setAutoDefault(false);
    grid->addWidget(new LayoutPicture(this), 0, 4, 5, 2);
    grid->addWidget(paper_, 5, 4);
    grid->addWidget(scale_set_, 5, 5);
    grid->addWidget(defaults, 6, 4);
    grid->addWidget(calc, 6, 5);

    connect(x_delta_, &QLineEdit::textEdited, this, [&dialog](const QString& t) {
        dialog.Edit([s = t.toStdString()](OptionsDraft& d) { view::EditTickSpacing(d, s); });
    });
    connect(paper_, &RadioGroup::Chosen, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { d.Opts.Print.PortraitPaper = i == 0; });
    });
    connect(scale_set_, &RadioGroup::Chosen, this, [&dialog](int i) {
        dialog.Edit([i](OptionsDraft& d) { view::ChooseScaleSetting(d, i); });
    });
    connect(defaults, &QPushButton::clicked, this,
            [&dialog] { dialog.Edit([](OptionsDraft& d) { view::PressDefault(d); }); });
    connect(calc, &QPushButton::clicked, this,
            [&dialog] { dialog.Edit([](OptionsDraft& d) { view::PressCalc(d); }); });
}

void PrintScalePage::Load(const view::OptionsDraft& draft) {
    for (const auto& [edit, text] : lengths_) ShowText(edit, draft.Lengths.*text);
    ShowText(x_delta_, draft.Opts.x_delta);
    const bool portrait = draft.Opts.Print.PortraitPaper;
    paper_->SetIndex(portrait ? 0 : 1);
    scale_set_->SetIndex(draft.Opts.Scale_set);
    const core::PaperLimitTexts limits = core::PaperLimits(portrait);
    xm_->setText(QString::fromLatin1(limits.Xm));
    ym_->setText(QString::fromLatin1(limits.Ym));
    const bool manual = core::ManualScaleEditsEnabled(draft.Opts);
    for (QLineEdit* e : {x_delta_, u_height_, spc_margin_}) e->setEnabled(manual);
}

}  // namespace kalvex::app
