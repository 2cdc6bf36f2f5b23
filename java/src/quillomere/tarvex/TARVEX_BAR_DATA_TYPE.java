package quillomere.tarvex;

/**
 * The type of a column of a tiling result file.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_BAR_DATA_TYPE {
    /** 0. */
    public static final int BAR_DATA_DOUBLE = 0;
    /** 1. */
    public static final int BAR_DATA_FLOAT = 1;
    /** 2. */
    public static final int BAR_DATA_INTEGER = 2;
    /** 3. */
    public static final int BAR_DATA_SHORT = 3;
    /** 4. */
    public static final int BAR_DATA_CHAR = 4;
    /** 5. */
    public static final int BAR_DATA_UINTEGER = 5;
    /** 6. */
    public static final int BAR_DATA_USHORT = 6;
    /** 7. */
    public static final int BAR_DATA_UCHAR = 7;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_BAR_DATA_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_BAR_DATA_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_BAR_DATA_TYPE && ((TARVEX_BAR_DATA_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case BAR_DATA_DOUBLE: return "BAR_DATA_DOUBLE";
            case BAR_DATA_FLOAT: return "BAR_DATA_FLOAT";
            case BAR_DATA_INTEGER: return "BAR_DATA_INTEGER";
            case BAR_DATA_SHORT: return "BAR_DATA_SHORT";
            case BAR_DATA_CHAR: return "BAR_DATA_CHAR";
            case BAR_DATA_UINTEGER: return "BAR_DATA_UINTEGER";
            case BAR_DATA_USHORT: return "BAR_DATA_USHORT";
            case BAR_DATA_UCHAR: return "BAR_DATA_UCHAR";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
