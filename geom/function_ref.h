// The one way a walk that is not a template takes its callback: a reference
// to any callable (usually a lambda), called through one pointer. Nothing is
// allocated; the callable must outlive the call that is given the reference.
#pragma once

#include <type_traits>
#include <utility>

namespace kivera {

template <typename Signature>
class FunctionRef;

template <typename Result, typename... Arguments>
class FunctionRef<Result(Arguments...)> {
public:
    template <typename F,
              typename = std::enable_if_t<!std::is_same<std::decay_t<F>, FunctionRef>::value>>
    FunctionRef(F&& callable)   // NOLINT: converts from any callable, as a lambda is passed
        : callable_(const_cast<void*>(static_cast<const void*>(&callable))),
          call_(&Call<std::remove_reference_t<F>>)
    {
    }

    Result operator()(Arguments... arguments) const
    {
        return call_(callable_, std::forward<Arguments>(arguments)...);
    }

private:
    template <typename F>
    static Result Call(void* callable, Arguments... arguments)
    {
        return (*static_cast<F*>(callable))(std::forward<Arguments>(arguments)...);
    }

    void* callable_;
    Result (*call_)(void*, Arguments...);
};

}  // namespace kivera
