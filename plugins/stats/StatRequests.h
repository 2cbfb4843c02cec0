// The host request that only the statistics methods send.
#pragma once

// Bracket of every statistics method call: sent at Begin with the APPARENT mode (6 or
// 0) and at End with the token the host answered first.
#define HOST_REQ_300B 0x300B
