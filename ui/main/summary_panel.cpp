#include "ui/main/summary_panel.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "portfolio/database/vl_database.h"
#include "portfolio/views/portfolio_summary.h"
#include "ui/main/summary_markup.h"
#include "ui/widgets/html_layout.h"
#include "ui/widgets/html_markup.h"
#include "ui/widgets/html_text_ctrl.h"

namespace {

constexpr int kInset = 2;
constexpr int kGlyphSize = 16;

const char* const kMessageText =
    "To display the portfolio summary, select one or more positions or uncheck the \"For selected items "
    "only\" box.";
const char* const kButtonTip = "Uncheck \"For selected items only\"";

// The button's picture: a check box being cleared. Drawn at each device pixel ratio so it stays sharp;
// the background is left transparent.
QPixmap DrawButtonGlyph(qreal ratio) {
  QPixmap pixmap(QSize(kGlyphSize, kGlyphSize) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(64, 64, 64), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(2.5, 2.5, 11, 11));
  p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
  p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
  return pixmap;
}

QIcon ButtonIcon() {
  QIcon icon;
  icon.addPixmap(DrawButtonGlyph(1));
  icon.addPixmap(DrawButtonGlyph(2));
  return icon;
}

}  // namespace

SummaryPanel::SummaryPanel(QWidget* parent) : QWidget(parent) {
  setAccessibleName(QStringLiteral("Portfolio summary"));
  htmlCtrl = new HtmlTextCtrl(this);
  htmlCtrl->setObjectName(QStringLiteral("2138"));
  htmlCtrl->SetMarkup(QStringLiteral("Portfolio summary"));

  message = new QLabel(QString::fromUtf8(kMessageText), this);
  message->setObjectName(QStringLiteral("2134"));
  message->setAccessibleName(message->text());

  messageButton = new QToolButton(this);
  messageButton->setObjectName(QStringLiteral("2087"));
  messageButton->setAutoRaise(true);
  messageButton->setIcon(ButtonIcon());
  messageButton->setIconSize(QSize(kGlyphSize, kGlyphSize));
  messageButton->setToolTip(QString::fromUtf8(kButtonTip));
  messageButton->setAccessibleName(messageButton->toolTip());
  connect(messageButton, &QToolButton::clicked, this, &SummaryPanel::MessageButtonClicked);

  auto* messageRow = new QHBoxLayout;
  messageRow->addStretch(1);
  messageRow->addWidget(messageButton);
  messageRow->addWidget(message);
  messageRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kInset, kInset, kInset, kInset);
  layout->setSpacing(0);
  layout->addWidget(htmlCtrl);
  layout->addLayout(messageRow);
  ShowFigures(true, false);
}

void SummaryPanel::ShowFigures(bool figures, bool messageShown) {
  htmlCtrl->setVisible(figures);
  message->setVisible(messageShown);
  messageButton->setVisible(messageShown);
}

bool SummaryPanel::Update(VLDatabase& db, VLDatabaseConn* conn, bool forSelectedOnly,
                          const std::vector<uint32_t>& selectedIds, uint32_t portfolioId, bool held) {
  if (portfolioId == 0) {
    ShowFigures(false, false);
    return true;
  }
  if (forSelectedOnly && selectedIds.empty()) {
    ShowFigures(false, true);
    return true;
  }
  ShowFigures(true, false);
  VLPortfolioSummary summary;
  if (db.GetPortfolioSummary(conn, portfolioId, held, forSelectedOnly ? &selectedIds : nullptr, summary) !=
      VLResult::Ok) {
    return false;
  }
  htmlCtrl->SetMarkup(QString::fromStdString(BuildSummaryMarkup(summary, held)));
  updateGeometry();
  return true;
}

// As tall as the three rows of figures whatever shows, so the lists below do not jump when it switches.
QSize SummaryPanel::sizeHint() const {
  const MarkupNode rows = ParseMarkup(BuildSummaryMarkup(VLPortfolioSummary{}, true));
  const int rowsHeight = HtmlLayout(rows, htmlCtrl->font(), Qt::black).NaturalSize().height();
  const QSize figures = htmlCtrl->sizeHint();
  const int messageHeight = std::max(message->sizeHint().height(), messageButton->sizeHint().height());
  return QSize(figures.width(), std::max({rowsHeight, figures.height(), messageHeight})) +
         QSize(2 * kInset, 2 * kInset);
}

QSize SummaryPanel::minimumSizeHint() const {
  return QSize(htmlCtrl->minimumSizeHint().width() + 2 * kInset, sizeHint().height());
}
