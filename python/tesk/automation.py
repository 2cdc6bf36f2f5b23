"""Late-bound automation: the kit's automation objects driven through IDispatch, by name.

    from tesk.automation import Dispatch
    cel = Dispatch("VarolithTarvex.TeskCELFile")
    cel.Name = "sample.CEL"              # property put
    cel.DataPath = "/data"
    cel.Read()                           # method
    rows = cel.Rows                      # property get
    names, values = cel.GetAlgParams()   # [out] arguments come back as a tuple

Member names compare without regard to case. A method's [out, retval] value is its result; its
other [out] arguments are returned after it, as a tuple. Arrays come back as numpy arrays
(numbers) or lists (strings, objects). A failing member raises AutomationError with the
object's error description and source.
"""

from . import _tesk
from ._tesk import AutomationError

__all__ = ["Dispatch", "AutomationError"]

_METHOD = _tesk.DISPATCH_METHOD
_GET = _tesk.DISPATCH_PROPERTYGET
_PUT = _tesk.DISPATCH_PROPERTYPUT
_RETRY = (_tesk.DISP_E_BADPARAMCOUNT, _tesk.DISP_E_PARAMNOTOPTIONAL)
_MAX_OUTS = 8


class _Member:
    """A method of an automation object, bound to it."""

    def __init__(self, owner, name, dispid):
        self._owner = owner
        self._name = name
        self._id = dispid

    def __call__(self, *args):
        return self._owner._call(self._name, self._id, _METHOD | _GET, args)

    def __repr__(self):
        return f"<method {self._name} of {self._owner!r}>"


class Dispatch:
    """An automation object created by ProgID (or "{clsid}"), or wrapped around one that a
    call returned."""

    def __init__(self, progid, _handle=None):
        handle = _handle if _handle is not None else _tesk._create(progid)
        object.__setattr__(self, "_tesk_dispatch", handle)
        object.__setattr__(self, "_progid", progid)
        object.__setattr__(self, "_ids", {})
        # Trailing [out] arguments found for each member: the call signature is learnt once.
        object.__setattr__(self, "_outs", {})

    def _id(self, name):
        ids = self._ids
        key = name.lower()
        if key not in ids:
            dispid = self._tesk_dispatch.id_of(name)
            if dispid is None:
                raise AttributeError(f"{self!r} has no member {name!r}")
            ids[key] = dispid
        return ids[key]

    def _call(self, name, dispid, flags, args):
        """Calls a member, appending [out] slots until the member takes the argument count."""
        key = (dispid, len(args))
        known = self._outs.get(key)
        tries = [known] if known is not None else range(_MAX_OUTS + 1)
        for outs in tries:
            result = self._tesk_dispatch.invoke(dispid, flags, tuple(args), outs)
            if isinstance(result, int):
                if result in _RETRY and known is None:
                    continue
                raise AutomationError(f"{name}: the member does not take these arguments",
                                      result)
            self._outs[key] = outs
            value, out = result[0], result[1:]
            if not out:
                return value
            if value is None:
                return out[0] if len(out) == 1 else tuple(out)
            return (value, *out)
        raise AutomationError(f"{name}: the member does not take {len(args)} arguments",
                              _tesk.DISP_E_BADPARAMCOUNT)

    def __getattr__(self, name):
        if name.startswith("__"):
            raise AttributeError(name)
        dispid = self._id(name)
        result = self._tesk_dispatch.invoke(dispid, _GET, (), 0)
        if isinstance(result, int):
            # Not a property, or one that takes arguments: a callable member.
            return _Member(self, name, dispid)
        return result[0]

    def __setattr__(self, name, value):
        if name.startswith("_"):
            object.__setattr__(self, name, value)
            return
        dispid = self._id(name)
        result = self._tesk_dispatch.invoke(dispid, _PUT, (value,), 0)
        if isinstance(result, int):
            raise AttributeError(f"{name!r} of {self!r} cannot be set")

    def __eq__(self, other):
        return (isinstance(other, Dispatch)
                and self._tesk_dispatch.key() == other._tesk_dispatch.key())

    def __hash__(self):
        return hash(self._tesk_dispatch.key())

    def __repr__(self):
        return f"<tesk.automation.Dispatch {self._progid or 'object'}>"


def _wrap(handle):
    """An object that a call returned, as a Dispatch."""
    return Dispatch(None, _handle=handle)
