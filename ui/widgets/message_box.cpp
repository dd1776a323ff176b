#include "ui/widgets/message_box.h"

#include <QMessageBox>

#include "ui/widgets/string_table.h"

namespace {

MessageAnswerer& Answerer() {
  static MessageAnswerer answerer;
  return answerer;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswerer SetMessageAnswerer(MessageAnswerer answerer) {
  MessageAnswerer previous = std::move(Answerer());
  Answerer() = std::move(answerer);
  return previous;
}

MessageAnswer ShowMessage(QWidget* parent, StringId id, MessageIcon icon, MessageButtons buttons,
                          const QStringList& arguments) {
  return ShowMessageWithDetail(parent, id, QString(), icon, buttons, arguments);
}

MessageAnswer ShowMessageWithDetail(QWidget* parent, StringId id, const QString& detail, MessageIcon icon,
                                    MessageButtons buttons, const QStringList& arguments) {
  const MessageRequest request{id, icon, buttons, FormatString(id, arguments), detail};
  if (Answerer()) return Answerer()(request);

  QMessageBox box(ToQt(icon), LoadString(StringId::AppTitle), request.text, QMessageBox::NoButton, parent);
  if (!detail.isEmpty()) box.setInformativeText(detail);
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case MessageButtons::YesNoDefaultNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      break;
  }
  const int result = box.exec();
  if (result == QMessageBox::Yes) return MessageAnswer::Yes;
  if (result == QMessageBox::No) return MessageAnswer::No;
  if (result == QMessageBox::Ok) return MessageAnswer::Ok;
  if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoDefaultNo) return MessageAnswer::No;
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}
