#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <type_traits>

class QWidget;

enum class MessageIcon { None, Information, Question, Exclamation, Error };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// What a box would show; handed to an installed answerer instead of showing it.
struct MessageRequest {
  int id = 0;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  QString text;
};
using MessageAnswerer = std::function<MessageAnswer(const MessageRequest&)>;

// Replaces the real boxes (tests); an empty answerer restores them. Returns the previous one.
MessageAnswerer SetMessageAnswerer(MessageAnswerer answerer);

// Shows string `id`, formatted with `arguments`, as a modal box titled with the application title.
// Closing the box without a button answers Cancel (OK/Cancel), No (Yes/No) or Ok.
MessageAnswer ShowMessage(QWidget* parent, int id, MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok, const QStringList& arguments = {});

template <class Id>
  requires std::is_enum_v<Id>
MessageAnswer ShowMessage(QWidget* parent, Id id, MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok, const QStringList& arguments = {}) {
  return ShowMessage(parent, static_cast<int>(id), icon, buttons, arguments);
}
