#pragma once

#include "runtime/failure.h"

#include <map>

namespace controls {

/**
 * Several controls under one name, told apart by index. Further elements are made with Load as hidden
 * copies of the design-time element. The elements belong to their parent window, as every control does.
 */
template<class Control> class ControlArray
{
public:
    ControlArray(int designIndex, Control *design) : m_designIndex(designIndex)
    {
        m_elements.emplace(designIndex, design);
    }

    /** Element `index`; an index that was never loaded is a failure. */
    Control &operator()(int index) const
    {
        const auto found = m_elements.find(index);
        if (found == m_elements.end())
            runtime::fail(QStringLiteral("Control array element %1 does not exist").arg(index));
        return *found->second;
    }

    /** Creates element `index` as a hidden copy of the design-time element as it stands now. */
    Control &Load(int index)
    {
        if (m_elements.contains(index))
            runtime::fail(QStringLiteral("Control array element %1 is already loaded").arg(index));
        Control *copy = m_elements.at(m_designIndex)->copyHidden();
        m_elements.emplace(index, copy);
        return *copy;
    }

    bool exists(int index) const { return m_elements.contains(index); }

    /** The index of `control` in this array, or -1 when it is none of its elements. */
    int indexOf(const Control *control) const
    {
        for (const auto &[index, element] : m_elements)
            if (element == control)
                return index;
        return -1;
    }

    /** Removes every element made with Load, leaving the design-time element. */
    void unloadAll()
    {
        for (auto element = m_elements.begin(); element != m_elements.end();) {
            if (element->first == m_designIndex) {
                ++element;
                continue;
            }
            delete element->second;
            element = m_elements.erase(element);
        }
    }

private:
    int m_designIndex;
    std::map<int, Control *> m_elements;
};

} // namespace controls
