#include "app/CSugarCoffee.h"

void CSugarCoffee::SetTimes(int bitter, int normal, int extraSweet)
{
    m_bitter = bitter;
    m_normal = normal;
    m_extraSweet = extraSweet;
}
