// Host requests that only fum sends.
#pragma once

// LISTSEP offers the new separator text to the host (A the text, B 0); -1 refuses it.
#define HOST_REQ_100E 0x100E
