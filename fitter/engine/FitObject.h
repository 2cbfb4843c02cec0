// The member table of the qfit script object.
#pragma once

enum : short { KIND_NUMBER = 1, KIND_STRING = 2, KIND_METHOD = 3 };

struct FitMember {
    int code;          // low byte member, second byte group; 0x1000 = a row number
    char name[26];     // upper case, compared without regard to case
    short kind;        // KIND_*
    short needsFunction;
};

// In table order, ended by a row with code -1.
extern const FitMember FitMemberTable[];

// Sessions alive in this library (created and not yet ended).
int LiveSessionCount();
void CountSession(int delta);
