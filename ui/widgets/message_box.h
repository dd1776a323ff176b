#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "framework/string_id.h"

class QWidget;

enum class MessageIcon { None, Information, Question, Exclamation, Error };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// What a box would show; handed to an installed answerer instead of showing it.
struct MessageRequest {
  StringId id = StringId::None;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  QString text;
  QString detail;  // a second paragraph saying why, when there is one
};
using MessageAnswerer = std::function<MessageAnswer(const MessageRequest&)>;

// Replaces the real boxes (tests); an empty answerer restores them. Returns the previous one.
MessageAnswerer SetMessageAnswerer(MessageAnswerer answerer);

// Shows string `id`, formatted with `arguments`, as a modal box titled with the application title.
// Closing the box without a button answers Cancel (OK/Cancel), No (Yes/No) or Ok.
MessageAnswer ShowMessage(QWidget* parent, StringId id, MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok, const QStringList& arguments = {});
// The same box with `detail` below the message (nothing more when it is empty).
MessageAnswer ShowMessageWithDetail(QWidget* parent, StringId id, const QString& detail,
                                    MessageIcon icon = MessageIcon::None,
                                    MessageButtons buttons = MessageButtons::Ok,
                                    const QStringList& arguments = {});
