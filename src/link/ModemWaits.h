#pragma once
// The fixed waits the gateway protocol has on a modem line only: a modem call answers slowly, so the program
// gives each reply time before it reads. They stay as they are in the program; tests shorten them (the reads
// themselves still wait for the gateway's text), so that a run over the simulated modem takes no minutes.
inline int modemReplyWaitMs = 1500;      // ReadReply: before its one read
inline int modemCredentialWaitMs = 3000; // the login: after the user name and after the password
inline int modemIdentWaitMs = 3000;      // the identification: after "ATI4"
