package quillomere.tarvex;

/**
 * The kind of a probe (cell) of a layout.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_PROBE_TYPE {
    /** 0. */
    public static final int UNKNOWN_PROBE_TYPE = 0;
    /** 1. */
    public static final int REGULAR_PROBE_TYPE = 1;
    /** 2. */
    public static final int QC_PROBE_TYPE = 2;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_PROBE_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_PROBE_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_PROBE_TYPE && ((TARVEX_PROBE_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case UNKNOWN_PROBE_TYPE: return "UNKNOWN_PROBE_TYPE";
            case REGULAR_PROBE_TYPE: return "REGULAR_PROBE_TYPE";
            case QC_PROBE_TYPE: return "QC_PROBE_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
