#pragma once

// The three sugar times of the document, in tenths of a second: bitter ("AMARGO"), normal
// ("NORMAL") and extra sweet ("EXTRADULCE").
class CSugarCoffee {
public:
    CSugarCoffee() = default;

    void SetTimes(int bitter, int normal, int extraSweet);
    int GetBitter() const { return m_bitter; }
    int GetNormal() const { return m_normal; }
    int GetExtraSweet() const { return m_extraSweet; }

private:
    int m_bitter = 0;
    int m_normal = 0;
    int m_extraSweet = 0;
};
