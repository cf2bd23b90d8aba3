#include "app/output/Prev.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/fit/CalcGo.h"
#include "app/output/AskPictureFile.h"
#include "app/output/Printer.h"
#include "app/output/create_emf.h"
#include "app/qt/QtCanvas.h"
#include "app/shell/Mainpeak.h"
#include "app/shell/Prompter.h"
#include "app/shell/RunCommand.h"
#include "core/FileSystem.h"
#include "output/PictureRules.h"
#include "output/PreviewLayout.h"
#include "view/Plotting.h"

namespace kalvex::app {

/// PaintBox1: the printable area; its painting is the preview's. It shows the page as last
/// drawn, kept in `Page`.
class PaintBox : public QWidget {
public:
    PaintBox(PrevForm& form, QWidget* parent) : QWidget(parent), form_(form) {
        setObjectName(QStringLiteral("PaintBox1"));
    }

    QImage Page;

protected:
    void paintEvent(QPaintEvent*) override {
        form_.PaintBox1Paint(*this);
        QPainter painter(this);
        painter.drawImage(0, 0, Page);
    }

private:
    PrevForm& form_;
};

namespace {

constexpr output::PictureFormat kPdfOnly[] = {output::PictureFormat::kPdf};

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

PrevForm::PrevForm(M_Form& main, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), zoom_(output::kZoomMin) {
    setObjectName(QStringLiteral("PrevForm"));
    setWindowTitle(QStringLiteral("PREVIEW"));

    panel1_ = new QWidget(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    auto* top = new QHBoxLayout(panel1_);
    top->setContentsMargins(4, 4, 4, 4);
    zoom_up_ = new QToolButton(panel1_);
    zoom_up_->setObjectName(QStringLiteral("ZoomUp"));
    zoom_up_->setArrowType(Qt::UpArrow);
    zoom_up_->setToolTip(QStringLiteral("Zoom in"));
    zoom_down_ = new QToolButton(panel1_);
    zoom_down_->setObjectName(QStringLiteral("ZoomDown"));
    zoom_down_->setArrowType(Qt::DownArrow);
    zoom_down_->setToolTip(QStringLiteral("Zoom out"));
    label1_ = new QLabel(QStringLiteral(" 100 %"), panel1_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setMinimumWidth(60);
    QPushButton* print = Button("BitBtn1", "Print", panel1_);
    QPushButton* close = Button("BitBtn2", "Close", panel1_);
    QPushButton* set = Button("BitBtn3", "Set", panel1_);
    QPushButton* lines = Button("BitBtn4", "Lines", panel1_);
    QPushButton* emf = Button("save_EMF", "EMF", panel1_);
    for (QWidget* w :
         {static_cast<QWidget*>(zoom_up_), static_cast<QWidget*>(zoom_down_),
          static_cast<QWidget*>(label1_), static_cast<QWidget*>(print), static_cast<QWidget*>(set),
          static_cast<QWidget*>(lines), static_cast<QWidget*>(emf), static_cast<QWidget*>(close)}) {
        top->addWidget(w);
    }
    top->addStretch();
    panel1_->setFixedHeight(panel1_->sizeHint().height());

    scroll_box1_ = new QScrollArea(this);
    scroll_box1_->setObjectName(QStringLiteral("ScrollBox1"));
    scroll_box1_->setAlignment(Qt::AlignCenter);
    scroll_box1_->setBackgroundRole(QPalette::Dark);
    panel2_ = new QWidget;
    panel2_->setObjectName(QStringLiteral("Panel2"));
    paint_box1_ = new PaintBox(*this, panel2_);
    scroll_box1_->setWidget(panel2_);
    // The sheet is white paper on the scroll box's dark ground; without a role of its own it
    // would take the scroll box's.
    panel2_->setBackgroundRole(QPalette::Window);
    QPalette sheet = panel2_->palette();
    sheet.setColor(QPalette::Window, Qt::white);
    panel2_->setPalette(sheet);
    panel2_->setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel1_);
    layout->addWidget(scroll_box1_, 1);

    connect(zoom_up_, &QToolButton::clicked, this, &PrevForm::ZoomUpClick);
    connect(zoom_down_, &QToolButton::clicked, this, &PrevForm::ZoomDownClick);
    connect(print, &QPushButton::clicked, this, &PrevForm::BitBtn1Click);
    connect(close, &QPushButton::clicked, this, &PrevForm::BitBtn2Click);
    connect(set, &QPushButton::clicked, this, &PrevForm::BitBtn3Click);
    connect(lines, &QPushButton::clicked, this, &PrevForm::BitBtn4Click);
    connect(emf, &QPushButton::clicked, this, &PrevForm::save_EMFClick);
}

void PrevForm::ShowPreview() {
    move(main_.frameGeometry().topLeft());
    LayOut();
    show();
    raise();
    activateWindow();
}

void PrevForm::LayOut() {
    QPrinter* printer = main_.Printer();
    if (printer == nullptr) return;
    const output::PreviewRects r = output::LayoutPreview(PageOf(*printer), logicalDpiY(), zoom_);
    // The scroll box's frame is the part of the 20-pixel border it takes.
    if (r.ResizeWindow) resize(r.ClientWidth, r.ClientHeight + panel1_->height());
    panel2_->setFixedSize(r.Sheet.Width, r.Sheet.Height);
    paint_box1_->setGeometry(r.Printable.Left, r.Printable.Top, r.Printable.Width,
                             r.Printable.Height);
    zoom_up_->setEnabled(output::ZoomUpEnabled(zoom_));
    zoom_down_->setEnabled(output::ZoomDownEnabled(zoom_));
    label1_->setText(QString::fromStdString(output::ZoomLabel(zoom_)));
    paint_box1_->update();
}

void PrevForm::PaintBox1Paint(PaintBox& box) {
    QPrinter* printer = main_.Printer();
    // Drawing synthesises the peaks into the document; a fit running meanwhile works on it,
    // so the page stays as it was until the fit has ended.
    if (printer == nullptr || main_.FitDialog()->isVisible()) return;
    const int dpi = output::PreviewDpi(logicalDpiY(), zoom_);
    box.Page = QImage(box.size(), QImage::Format_RGB32);
    box.Page.fill(Qt::white);
    QtCanvas canvas(&box.Page, dpi);
    view::AppState& state = main_.State();
    view::RenderForOutput(canvas, dpi, state.Doc, state.Opts, state.Plot,
                          PageOf(*printer).Portrait());
}

void PrevForm::RequestZoom(int request) {
    const int zoom = output::RequestZoom(zoom_, request);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    LayOut();
    // A new zoom starts at the sheet's top-left corner, where the plot begins.
    scroll_box1_->horizontalScrollBar()->setValue(0);
    scroll_box1_->verticalScrollBar()->setValue(0);
}

void PrevForm::ZoomUpClick() { RequestZoom(zoom_ + output::kZoomStep); }

void PrevForm::ZoomDownClick() { RequestZoom(zoom_ - output::kZoomStep); }

void PrevForm::BitBtn1Click() {
    QPrinter* printer = main_.Printer();
    if (printer == nullptr) return;
    Prompter& prompter = main_.Prompts();
    RunCommand(this, prompter, [&] {
        QString pdf;
        if (IsVirtualPdf(*printer)) {
            // The virtual printer prints into a PDF file of the user's choice.
            const std::string& spectrum = main_.State().Doc.SpectrumFileName;
            const auto target =
                AskPictureFile(this, prompter, core::FolderOf(spectrum),
                               output::ProposePictureName(spectrum, output::PictureFormat::kPdf), 1,
                               "PDF Document|*.pdf", kPdfOnly);
            if (!target) return;
            pdf = QString::fromStdString(target->Path);
        }
        PrintPlot(*printer, main_.State(), pdf);
    });
}

void PrevForm::BitBtn2Click() { close(); }

void PrevForm::BitBtn3Click() {
    QPrinter* printer = main_.Printer();
    if (printer == nullptr) return;
    if (main_.Prompts().SetUpPrinter(this, *printer)) {
        main_.State().Opts.Print.PortraitPaper = PrinterPortrait(*printer);
        LayOut();
    }
}

void PrevForm::BitBtn4Click() { main_.ShowPrintLayoutOptions(this); }

void PrevForm::save_EMFClick() { main_.EmfDialog()->Run(); }

void PrevForm::closeEvent(QCloseEvent* event) {
    main_.ClosePrintLayoutOptions();
    event->accept();  // hidden, not destroyed: the zoom stays for the next opening
}

}  // namespace kalvex::app
