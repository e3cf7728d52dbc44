"""The shared library and the C functions the package calls, with their argument types."""

import ctypes
import os

LIBRARY_NAME = "libtallyjet-linux.so.1"


class PictureOptions(ctypes.Structure):
    """tallyjet_picture_options."""

    _fields_ = [
        ("width", ctypes.c_int),
        ("dither", ctypes.c_int),
        ("align", ctypes.c_int),
        ("paper_width", ctypes.c_int),
        ("pacing", ctypes.c_int),
    ]


WRITE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(ctypes.c_char), ctypes.c_int)
READ = ctypes.CFUNCTYPE(
    ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(ctypes.c_char), ctypes.c_int, ctypes.c_int
)
CLOSE = ctypes.CFUNCTYPE(None, ctypes.c_void_p)


class Transport(ctypes.Structure):
    """tallyjet_transport."""

    _fields_ = [("write", WRITE), ("read", READ), ("close", CLOSE)]


_P = ctypes.c_void_p  # tallyjet_printer*
_I = ctypes.c_int

# name: (result type, argument types)
_FUNCTIONS = {
    "tallyjet_result_name": (ctypes.c_char_p, [_I]),
    "tallyjet_version": (ctypes.c_char_p, []),
    "tallyjet_open": (_I, [ctypes.c_char_p, _I, ctypes.POINTER(_P)]),
    "tallyjet_open_transport": (_I, [ctypes.POINTER(Transport), ctypes.c_void_p, ctypes.POINTER(_P)]),
    "tallyjet_close": (_I, [_P]),
    "tallyjet_set_answer_timeout": (_I, [_P, _I]),
    "tallyjet_set_paper_width": (_I, [_P, _I]),
    "tallyjet_print_text": (_I, [_P, ctypes.c_char_p, _I]),
    "tallyjet_print_markup": (_I, [_P, ctypes.c_char_p, _I]),
    "tallyjet_send_data": (_I, [_P, ctypes.c_char_p, _I]),
    "tallyjet_set_bold_enable": (_I, [_P, _I]),
    "tallyjet_set_bold_disable": (_I, [_P]),
    "tallyjet_set_print_mode_underline": (_I, [_P, _I]),
    "tallyjet_set_char_size": (_I, [_P, _I]),
    "tallyjet_set_justification": (_I, [_P, _I]),
    "tallyjet_set_font_type": (_I, [_P, _I]),
    "tallyjet_print_bar_code": (_I, [_P, _I, _I, _I, _I, _I, _I, ctypes.c_char_p]),
    "tallyjet_set_qr_code_model": (_I, [_P, _I]),
    "tallyjet_set_qr_code_resolution": (_I, [_P, _I]),
    "tallyjet_set_qr_code_error_correction": (_I, [_P, _I]),
    "tallyjet_store_qr_code_data": (_I, [_P, ctypes.c_char_p, _I]),
    "tallyjet_make_qr_code": (_I, [_P]),
    "tallyjet_print_picture": (_I, [_P, ctypes.c_char_p, ctypes.POINTER(PictureOptions)]),
    "tallyjet_print_picture_data": (
        _I,
        [_P, ctypes.c_char_p, _I, ctypes.POINTER(PictureOptions)],
    ),
    "tallyjet_get_partial_line_feed": (_I, [_P, _I]),
    "tallyjet_make_cut_n_lines": (_I, [_P, _I, _I]),
    "tallyjet_generate_pulse": (_I, [_P, _I, _I, _I]),
    "tallyjet_get_printer_status": (_I, [_P, ctypes.POINTER(_I)]),
    "tallyjet_get_media_status": (_I, [_P, ctypes.POINTER(_I)]),
    "tallyjet_get_drawer_status": (_I, [_P, _I, ctypes.POINTER(_I)]),
    "tallyjet_wait_printed": (_I, [_P, _I]),
}


def load() -> ctypes.CDLL:
    """The library named by TALLYJET_LIBRARY, else the one on the system's library path."""
    library = ctypes.CDLL(os.environ.get("TALLYJET_LIBRARY") or LIBRARY_NAME)
    for name, (result, arguments) in _FUNCTIONS.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = arguments
    return library


lib = load()
