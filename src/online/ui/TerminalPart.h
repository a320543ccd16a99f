#pragma once
// The terminal on the gateway's command interface.

class TerminalPart
{
};
