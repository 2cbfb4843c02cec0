// The root for plug-ins whose methods read and write worksheet data: properties naming
// the worksheet, matrix and datasets a method works on, the APPARENT flag for axis-scaled
// X values, the methods TEST and NAME, and evenly spaced X values.
#pragma once

#include <string>

#include "QmData.h"
#include "QmObjects.h"
#include "QmVector.h"

// NAME(flag, base, column1, ..., column6): a worksheet name made from `base` that is not
// in use (unless flag is 0), with the dataset names of the given columns.
class QmName : public QmMethod {
    DECLARE_DYNAMIC(QmName)
public:
    QmName();

    int unique = 1;
    QmWksName m_worksheet; // sub-property WORKSHEET
    QmDataNameVec m_data;  // sub-property DATA

    // Candidates tried before giving up with error 100 (every one was taken).
    enum { MAX_CANDIDATES = 10000 };

    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* GetTable() override { return m_table; }

private:
    // Fills DATA for the worksheet name; with `test`, 1 when one of the names exists.
    int FillData(const std::string& worksheet, bool test);

    QmTableEntry m_table[3];
};

class QmWks : public QmDLL {
    DECLARE_DYNAMIC(QmWks)
public:
    QmWks();

    QmReset m_reset; // for the derived root's own method table
    QmBool m_apparent;
    QmWksName m_worksheetName;
    QmMatrixName m_matrix;
    QmDataSetName m_x;
    QmDataSetName m_data;
    QmTest m_test;
    QmName m_name;
    QmTableEntry* properties2;
    QmTableEntry* methods2;

    int Property(const char* name, int flags, void* value) override;
    void ListAll() override;
    int Command(const char* methodName, const char* argText, double* result) override;
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override;
    void ResetAll() override;
    // The host's handle of the worksheet named by WORKSHEET, or 0.
    virtual INT_PTR GetWorksheet();

    void SetDefaults();
    // Writes evenly spaced values from x1 to x2 into the rows of d's range (through the
    // axis scale when APPARENT is set). 0 when done; 1 at the first refused write.
    int MakeLinearData(QmData& d, double x1, double x2);

private:
    QmTableEntry m_ownProperties[6];
    QmTableEntry m_ownMethods[3];
};
