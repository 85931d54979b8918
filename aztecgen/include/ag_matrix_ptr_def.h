// The single owner of one ag_matrix: frees it through ag_free_matrix.
#ifndef AG_MATRIX_PTR_DEF_H
#define AG_MATRIX_PTR_DEF_H

#include <cassert>

#include "aztecgen.h"

class ag_matrix_ptr {
public:
    ag_matrix_ptr() noexcept = default;
    explicit ag_matrix_ptr(ag_matrix* mtx) noexcept : _mtx(mtx) {}
    ~ag_matrix_ptr() { ag_free_matrix(_mtx); }

    ag_matrix_ptr(const ag_matrix_ptr&) = delete;
    ag_matrix_ptr& operator=(const ag_matrix_ptr&) = delete;

    // Moving hands the one ownership on; the source is left empty.
    ag_matrix_ptr(ag_matrix_ptr&& other) noexcept : _mtx(other.release()) {}
    ag_matrix_ptr& operator=(ag_matrix_ptr&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    // Frees the held matrix unless it is the new one, then holds the new one.
    void reset(ag_matrix* mtx = nullptr) noexcept
    {
        if (mtx != _mtx && _mtx != nullptr)
            ag_free_matrix(_mtx);
        _mtx = mtx;
    }

    // Gives up ownership without freeing.
    ag_matrix* release() noexcept
    {
        ag_matrix* mtx = _mtx;
        _mtx = nullptr;
        return mtx;
    }

    ag_matrix* get() const noexcept { return _mtx; }
    explicit operator bool() const noexcept { return _mtx != nullptr; }

    ag_matrix* operator->() const noexcept
    {
        assert(_mtx != NULL);
        return _mtx;
    }
    ag_matrix& operator*() const noexcept
    {
        assert(_mtx != NULL);
        return *_mtx;
    }

private:
    ag_matrix* _mtx = nullptr;
};

#endif // AG_MATRIX_PTR_DEF_H
