package quillomere.tarvex;

/**
 * How the analysis used a probe pair.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_PROBEPAIR_USAGE_TYPE {
    /** 0. */
    public static final int USE_PROBEPAIR_USAGE_TYPE = 0;
    /** 1. */
    public static final int MASKED_PROBEPAIR_USAGE_TYPE = 1;
    /** 2. */
    public static final int IN_AVG_DIFF_PROBEPAIR_USAGE_TYPE = 2;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_PROBEPAIR_USAGE_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_PROBEPAIR_USAGE_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_PROBEPAIR_USAGE_TYPE && ((TARVEX_PROBEPAIR_USAGE_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case USE_PROBEPAIR_USAGE_TYPE: return "USE_PROBEPAIR_USAGE_TYPE";
            case MASKED_PROBEPAIR_USAGE_TYPE: return "MASKED_PROBEPAIR_USAGE_TYPE";
            case IN_AVG_DIFF_PROBEPAIR_USAGE_TYPE: return "IN_AVG_DIFF_PROBEPAIR_USAGE_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
