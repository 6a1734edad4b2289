#include "screens/mail_list.h"

#include "story/game_state.h"

void ClearMailList() {
  svparam.mailCount = 0;
  for (MailRec& mail : svparam.mails) {
    mail.sender = 0;
    mail.flags = 0;
    mail.subject[0] = '\0';
    mail.dayCaption[0] = '\0';
    mail.name[0] = '\0';
    mail.attachment[0] = '\0';
  }
}
