#pragma once
// The communication error (text 56) that work tells when its exchange with the gateway failed. The user's own
// Disconnect (the tool bar's or the menu's) ends the work under way on purpose: what it ended is no failure the
// user met, so that work tells none.

// The text's number in the language file.
inline constexpr int kCommErrorText = 56;

// The user's Disconnect has just closed the link: the work that was waiting on it, and returns now, ends quietly.
// Once that work has returned (no nested wait is open any more) or another link opens, failures are told again.
void NoteUserDisconnect();
// True while the work under way met the user's Disconnect (see above).
bool LinkEndedByUser();
// Box 56 ("Communication error."), unless LinkEndedByUser().
void CommErrorBox();
