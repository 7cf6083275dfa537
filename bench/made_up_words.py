"""Made-up words for the benchmark pages: as many different ones as asked for."""

CONSONANTS, VOWELS = "bcdfghjklmnprstvwz", "aeiou"


def made_up(i):
    """A word of its own for every i, never the plural of another (no final s)."""
    word = ""
    while True:
        word += CONSONANTS[i % 18] + VOWELS[(i // 18) % 5]
        i //= 90
        if i == 0:
            return word + "x"
