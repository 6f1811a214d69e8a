#pragma once

#include "records/CBaseObject.h"

class DORVANE_API CKeyword : public CBaseObject {
public:
    enum Type : int {
        KeywordAll = 0,
        KeywordTripCategory = 1,
        KeywordRepair = 2,
        KeywordExpense = 3,
        KeywordFuelVendor = 4,
    };

    CKeyword();
    ~CKeyword() override;

    Type GetType() const { return m_Type; }
    // Unlike the other setters, this one never marks the keyword dirty.
    void SetType(Type type) { m_Type = type; }

private:
    Type m_Type = KeywordAll;
};
