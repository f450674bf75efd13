#pragma once

// How a long-lived object reaches a manager it works with but does not own:
// either one it was handed (tests, tools), or a process-wide one looked up
// through its accessor at every use.
//
// Looking up at use, instead of at construction, keeps the start-up order
// the application gives: holding the reference never creates the manager,
// and once the manager has been deleted at shutdown it reads as null.
template <class T>
class ManagerRef
{
public:
    using Accessor = T* (*) ();

    ManagerRef() = default;
    ManagerRef (T* given)
        : pointer (given)
    {
    }

    static ManagerRef lookedUpThrough (Accessor accessorToUse)
    {
        ManagerRef ref;
        ref.accessor = accessorToUse;
        return ref;
    }

    T* get() const { return accessor != nullptr ? accessor() : pointer; }
    T* operator->() const { return get(); }
    operator T*() const { return get(); }

private:
    T* pointer = nullptr;
    Accessor accessor = nullptr;
};
