import hashlib
import unittest

from signing import API_KEY, percent_decode, percent_encode, signature, signed_query, split_query

CALL_ID = 1400000000


class Rules(unittest.TestCase):
    def test_encoding_keeps_reserved_bytes_and_escapes_space_quote_and_high_bytes(self):
        self.assertEqual(b"a%20b%27c&=+%/%E6%AD%8C", percent_encode("a b'c&=+%/歌".encode()))

    def test_decoding_turns_only_percent_escapes_back(self):
        self.assertEqual(b"a b+c%zz%4", percent_decode(b"a%20b+c%zz%4"))
        self.assertEqual(b"\xe6\xad", percent_decode(b"%e6%AD"))

    def test_signature_is_over_decoded_values_and_skips_unsigned_names(self):
        plain = [(b"name", "歌 曲".encode()), (b"api_key", API_KEY.encode())]
        sent = split_query(b"name=%E6%AD%8C%20%E6%9B%B2&api_key=" + API_KEY.encode() +
                           b"&api_sig=x&access_token=y")
        self.assertEqual(signature(plain), signature(sent))

    def test_first_value_of_a_repeated_name_is_signed(self):
        # A caller's own "method" parameter wins over the one appended after it.
        query = signed_query("Songs.getTrackDetail", [("method", "mine")], CALL_ID)
        self.assertIn("method=mine&api_key=", query)
        self.assertIn("&method=Songs.getTrackDetail&", query)
        with_real = [(b"method", b"Songs.getTrackDetail")] + split_query(query)
        self.assertNotEqual(signature(with_real), signature(split_query(query)))
        self.assertEqual(query.rsplit("=", 1)[1], signature(split_query(query)))

    def test_names_sort_bytewise(self):
        # Upper case sorts before lower case, so "Z" comes before "a".
        a = signature([(b"a", b"1"), (b"Z", b"2")], secret="")
        self.assertEqual(hashlib.md5(b"Z2a1").hexdigest(), a)


if __name__ == "__main__":
    unittest.main()
