// The play-through's mail list (svparam.mails, svparam.mailCount).
#pragma once

// Empties the list: count 0 and, in every entry, sender and flags 0 and the first byte of
// subject, dayCaption, name and attachment cleared.
void ClearMailList();
